#include "selection/area_tables.h"

#include <algorithm>

namespace tarnwick {
namespace {

template <typename Record>
std::int32_t Readable(const std::vector<Record>& table, std::int32_t count) {
    const auto filled = static_cast<std::int64_t>(table.empty() ? 0 : table.size() - 1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, filled));
}

}  // namespace

void ReleaseWorldTables(ProgramState& state) {
    ReleaseTable(state.WorldAirports);
    ReleaseTable(state.WorldAirspaces);
}

std::int32_t ReadableWorldAirports(const ProgramState& state) {
    return Readable(state.WorldAirports, state.AirportCount);
}

std::int32_t ReadableWorldAirspaces(const ProgramState& state) {
    return Readable(state.WorldAirspaces, state.AirspaceCount);
}

}  // namespace tarnwick
