#include "scenery/taxiway_network.h"

#include <charconv>
#include <unordered_map>
#include <vector>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "scenery/scenery_layout.h"
#include "scenery/scenery_values.h"

namespace tarnwick {
namespace {

using namespace bgl;

// Offsets in metres east and north of the reference point. Each move starts
// from the reference point; an offset of exactly 0 keeps its coordinate as is.
double LongitudeAt(const AirportRecord& airport, const geo::DestinationOrigin& origin, double east) {
    if (east > 0.0) return origin.LongitudeAfterMetres(90, east);
    if (east < 0.0) return origin.LongitudeAfterMetres(270, east);
    return airport.Lon;
}

double LatitudeAt(const AirportRecord& airport, const geo::DestinationOrigin& origin, double north) {
    if (north > 0.0) return origin.LatitudeAfterMetres(0, north);
    if (north < 0.0) return origin.LatitudeAfterMetres(180, north);
    return airport.Lat;
}

double OffsetAt(const SceneryBuffer& buffer, std::int64_t offset) {
    return DecodeFloat32(buffer.ReadI32(offset));
}

void ReadPoints(const SceneryBuffer& buffer, std::int64_t entries, std::int32_t count,
                AirportRecord& airport) {
    airport.TaxiPoints.SizeExactly(static_cast<std::size_t>(count));
    airport.TaxiPointCount = count;
    const geo::DestinationOrigin origin(airport.Lat, airport.Lon);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int64_t q = entries + std::int64_t{12} * i;
        TaxiPointEntry& point = airport.TaxiPoints[static_cast<std::size_t>(i)];
        point.Kind = buffer.ReadI32(q);
        point.Lon = LongitudeAt(airport, origin, OffsetAt(buffer, q + 4));
        point.Lat = LatitudeAt(airport, origin, OffsetAt(buffer, q + 8));
    }
}

void ReadParkings(const SceneryBuffer& buffer, std::int64_t entries, std::int32_t count,
                  AirportRecord& airport) {
    airport.Parkings.SizeExactly(static_cast<std::size_t>(count));
    airport.ParkingCount = count;
    const geo::DestinationOrigin origin(airport.Lat, airport.Lon);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int64_t q = entries + std::int64_t{20} * i;
        ParkingEntry& parking = airport.Parkings[static_cast<std::size_t>(i)];
        parking.Lon = LongitudeAt(airport, origin, OffsetAt(buffer, q));
        parking.Lat = LatitudeAt(airport, origin, OffsetAt(buffer, q + 4));
        parking.RadiusFt = ToI32(OffsetAt(buffer, q + 8) / geo::kMetresPerFoot);
        parking.Label = ParkingLabel(buffer.ReadI32(q + 16));
    }
}

void ReadSegments(const SceneryBuffer& buffer, std::int64_t entries, std::int32_t count,
                  AirportRecord& airport) {
    airport.TaxiSegments.SizeExactly(static_cast<std::size_t>(count));
    airport.TaxiSegmentCount = count;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int64_t q = entries + std::int64_t{32} * i;
        TaxiSegmentEntry& segment = airport.TaxiSegments[static_cast<std::size_t>(i)];
        segment.SegmentType = buffer.ReadI32(q);
        segment.FromPoint = buffer.ReadI32(q + 12);
        segment.ToPoint = buffer.ReadI32(q + 16);
        segment.Label = std::to_string(buffer.ReadI32(q + 28));
    }
}

// The runway designator a runway segment's label (a runway index) points to.
// An index that names no runway slot gives no designator.
std::string RunwayIdAt(const AirportRecord& airport, const std::string& label) {
    std::int64_t index = -1;
    const auto result = std::from_chars(label.data(), label.data() + label.size(), index);
    if (result.ec != std::errc() || index < 0 ||
        index >= static_cast<std::int64_t>(airport.Runways.SlotCount())) {
        return {};
    }
    return airport.Runways[static_cast<std::size_t>(index)].PrimaryId;
}

// Name i goes to every taxiway segment whose label is still the number i, in
// name order, so a name that reads like a later number is renamed again by
// that later name. The segments are grouped by label so that this stays
// linear in large networks; the labels are written back at the end.
void NameSegments(const SceneryBuffer& buffer, std::int64_t entries, std::int32_t count,
                  AirportRecord& airport) {
    std::vector<TaxiSegmentEntry>& segments = airport.TaxiSegments.Slots();
    std::unordered_map<std::string, std::vector<std::size_t>> byLabel;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        if (segments[s].SegmentType == kNamedTaxiwaySegment) byLabel[segments[s].Label].push_back(s);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name = buffer.ReadText(entries + std::int64_t{8} * i, 8);
        const auto found = byLabel.find(std::to_string(i));
        if (found == byLabel.end() || found->first == name) continue;
        std::vector<std::size_t> moved = std::move(found->second);
        byLabel.erase(found);
        std::vector<std::size_t>& target = byLabel[std::move(name)];
        if (target.size() < moved.size()) std::swap(target, moved);
        target.insert(target.end(), moved.begin(), moved.end());
    }
    for (const auto& [label, members] : byLabel) {
        for (std::size_t s : members) segments[s].Label = label;
    }
    for (TaxiSegmentEntry& segment : segments) {
        if (segment.SegmentType == kRunwaySegment)
            segment.Label = "Runway " + RunwayIdAt(airport, segment.Label);
    }
}

}  // namespace

void ParseTaxiwayNetwork(SceneryParse& parse, const BlockHeader& record, AirportRecord& airport) {
    const SceneryBuffer& buffer = parse.Buffer();
    std::int64_t block = record.Offset + 8;
    for (;;) {
        const std::int32_t count = buffer.ReadI32(block);
        const std::int32_t kind = buffer.ReadI32(block + 4);
        parse.Spend(8);
        const std::int64_t entries = block + 8;
        if (kind != kTaxiPointBlock && kind != kParkingBlock && kind != kTaxiSegmentBlock &&
            kind != kTaxiNameBlock)
            return;
        const std::int64_t entrySize = kind;  // each block kind is named after its entry size
        const std::int32_t used = count < 1 ? 0 : count;
        parse.CheckCount(used, entrySize, entries, block, "taxiway block");
        parse.Spend(used * entrySize);
        switch (kind) {
            case kTaxiPointBlock:
                parse.Admit(Counted::TaxiPoint, used, used);
                if (used > 0) ReadPoints(buffer, entries, used, airport);
                break;
            case kParkingBlock:
                parse.Admit(Counted::Parking, used, used);
                if (used > 0) ReadParkings(buffer, entries, used, airport);
                break;
            case kTaxiSegmentBlock:
                parse.Admit(Counted::TaxiSegment, used, used);
                if (used > 0) ReadSegments(buffer, entries, used, airport);
                break;
            default:  // the names close the network
                NameSegments(buffer, entries, used, airport);
                return;
        }
        block = entries + used * entrySize;
    }
}

}  // namespace tarnwick
