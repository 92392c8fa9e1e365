#include "scenery/scenery_parse.h"

#include "base/rounding.h"
#include "state/record_table.h"

namespace tarnwick {
namespace {
// How many times over a file may decode its own bytes before it is refused.
constexpr std::int64_t kDecodePasses = 4;
constexpr std::int64_t kHeaderBytes = 8;
}  // namespace

SceneryParse::SceneryParse(const SceneryBuffer& buffer, const DeclinationGrid& grid)
    : buffer_(buffer), grid_(grid), budget_(kDecodePasses * (buffer.Size() + 256)) {}

BlockHeader SceneryParse::ReadHeader(std::int64_t offset) {
    Spend(kHeaderBytes);
    return {offset, buffer_.ReadI32(offset), buffer_.ReadI32(offset + 4)};
}

std::int64_t SceneryParse::Next(const BlockHeader& header, const char* what) const {
    const std::int64_t next = header.Offset + header.Length + kHeaderBytes;
    if (next <= header.Offset) {
        throw MalformedScenery(std::string(what) + " at offset " + std::to_string(header.Offset) +
                               " has body length " + std::to_string(header.Length) +
                               ", which does not lead forward");
    }
    return next;
}

void SceneryParse::CheckCount(std::int64_t count, std::int64_t entrySize, std::int64_t entriesOffset,
                              std::int64_t blockOffset, const char* what) const {
    const std::int64_t left = buffer_.Size() - entriesOffset;
    if (count > 0 && (left < 0 || count > left / entrySize)) {
        throw MalformedScenery(std::string(what) + " at offset " + std::to_string(blockOffset) +
                               " announces " + std::to_string(count) +
                               " entries, more than the file can hold");
    }
}

void SceneryParse::Spend(std::int64_t bytes) {
    budget_ -= bytes;
    if (budget_ < 0) {
        throw MalformedScenery("its chains run into each other and decode the same bytes over and over");
    }
}

AirportRecord& SceneryParse::AppendAirport() { return AppendSlot(airports_, airportCount_, AirportRecord{}); }

AirspaceRecord& SceneryParse::AppendAirspace() {
    return AppendSlot(airspaces_, airspaceCount_, AirspaceRecord{});
}

}  // namespace tarnwick
