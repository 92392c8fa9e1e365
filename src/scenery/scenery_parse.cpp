#include "scenery/scenery_parse.h"

#include "base/byte_writer.h"
#include "base/rounding.h"
#include "scenery/scenery_layout.h"
#include "state/record_table.h"

namespace tarnwick {
namespace {
// How many times over a file may decode its own bytes before it is refused.
constexpr std::int64_t kDecodePasses = 4;

struct Limit {
    const char* Elements;
    const char* Record;  // what holds them, when they are limited per record
    std::int64_t PerRecord;
    std::int64_t PerFile;
};

// In the order of Counted.
constexpr std::array<Limit, 8> kLimits = {{
    {"airports", nullptr, 0, kMaxAirportsPerFile},
    {"airspaces", nullptr, 0, kMaxAirspacesPerFile},
    {"runways", "an airport", kMaxRunwaysPerAirport, kMaxRunwaysPerFile},
    {"ILS", "an airport", kMaxIlsPerAirport, kMaxIlsPerFile},
    {"taxi points", "an airport", kMaxTaxiPointsPerAirport, kMaxTaxiPointsPerFile},
    {"parking spots", "an airport", kMaxParkingsPerAirport, kMaxParkingsPerFile},
    {"taxi segments", "an airport", kMaxTaxiSegmentsPerAirport, kMaxTaxiSegmentsPerFile},
    {"boundary points", "an airspace", kMaxBoundaryPointsPerAirspace, kMaxBoundaryPointsPerFile},
}};

}  // namespace

SceneryParse::SceneryParse(const SceneryBuffer& buffer, const DeclinationGrid& grid)
    : buffer_(buffer), grid_(grid), budget_(kDecodePasses * (buffer.Size() + 256)) {}

BlockHeader SceneryParse::ReadHeader(std::int64_t offset) {
    Spend(bgl::kBlockHeaderBytes);
    return {offset, buffer_.ReadI32(offset), buffer_.ReadI32(offset + 4)};
}

std::int64_t SceneryParse::Next(const BlockHeader& header, const char* what) const {
    const std::int64_t next = header.Offset + header.Length + bgl::kBlockHeaderBytes;
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

void SceneryParse::Admit(Counted kind, std::int64_t added, std::int64_t inRecord) {
    const auto index = static_cast<std::size_t>(kind);
    const Limit& limit = kLimits[index];
    if (limit.Record && inRecord > limit.PerRecord) {
        throw MalformedScenery(std::string(limit.Record) + " holds more than " +
                               std::to_string(limit.PerRecord) + " " + limit.Elements);
    }
    counted_[index] += added;
    if (counted_[index] > limit.PerFile) {
        throw MalformedScenery("it holds more than " + std::to_string(limit.PerFile) + " " + limit.Elements);
    }
}

std::string SceneryParse::StoredText(std::int64_t offset, std::int64_t length, const char* what) {
    std::string text = buffer_.ReadText(offset, length);
    Spend(length > 0 ? length : 0);
    if (text.size() > kMaxTextBytes) {
        throw MalformedScenery(std::string(what) + " at offset " + std::to_string(offset) + " is " +
                               std::to_string(text.size()) +
                               " bytes long; the databases hold texts of up to 65535 bytes");
    }
    return text;
}

AirportRecord& SceneryParse::AppendAirport() {
    Admit(Counted::Airport, 1);
    return AppendSlot(airports_, airportCount_, AirportRecord{});
}

AirspaceRecord& SceneryParse::AppendAirspace() {
    Admit(Counted::Airspace, 1);
    return AppendSlot(airspaces_, airspaceCount_, AirspaceRecord{});
}

}  // namespace tarnwick
