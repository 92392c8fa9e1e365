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

void ReleaseWorldTables(SelectionState state) {
    ReleaseTable(state.World.WorldAirports);
    ReleaseTable(state.World.WorldAirspaces);
}

std::int32_t ReadableWorldAirports(SelectionState state) {
    return Readable(state.World.WorldAirports, state.Settings.AirportCount);
}

std::int32_t ReadableWorldAirspaces(SelectionState state) {
    return Readable(state.World.WorldAirspaces, state.Settings.AirspaceCount);
}

}  // namespace tarnwick
