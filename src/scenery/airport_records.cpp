#include "scenery/airport_records.h"

#include <cmath>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "scenery/scenery_layout.h"
#include "scenery/scenery_values.h"
#include "scenery/taxiway_network.h"

namespace tarnwick {
namespace {

using namespace bgl;

void VisitDirectoryEntry(SceneryParse& parse, const BlockHeader& entry) {
    const SceneryBuffer& buffer = parse.Buffer();
    const std::int64_t nameLength = std::int64_t{entry.Length} + kBlockHeaderBytes - 16;
    const std::string name = parse.StoredText(entry.Offset + 16, nameLength, "an airport name");
    const std::int32_t record = buffer.ReadI32(entry.Offset + 12);
    if (buffer.ReadI32(entry.Offset + 8) != kDirectoryEntryCheck || record <= 0) return;
    if (buffer.ReadI32(record) != 1 || buffer.ReadI32(std::int64_t{record} + 8) != 1) return;
    AirportRecord& airport = parse.AppendAirport();
    airport.Name = name;
    ParseAirport(parse, record, airport);
}

void ApplyFrequency(const SceneryBuffer& buffer, const BlockHeader& sub, AirportRecord& airport) {
    const std::int32_t raw = buffer.ReadI32(sub.Offset + 8);
    std::string* field = nullptr;
    switch (buffer.ReadI32(sub.Offset + 12)) {
        case kGroundFrequency:
            field = &airport.GroundFreq;
            break;
        case kTowerFrequency:
            field = &airport.TowerFreq;
            break;
        case kClearanceFrequency:
            field = &airport.ClearanceFreq;
            break;
        case kApproachFrequency:
            field = &airport.ApproachFreq;
            break;
        case kDepartureFrequency:
            field = &airport.DepartureFreq;
            break;
        default:
            return;
    }
    // The first frequency of each type wins.
    if (!field->empty()) return;
    if (auto text = FrequencyText(raw)) *field = std::move(*text);
}

double WrapLongitude(double lon) {
    if (lon > 180.0) return lon - 360.0;
    if (lon < -180.0) return lon + 360.0;
    return lon;
}

void AddIls(SceneryParse& parse, const BlockHeader& trailer, const RunwayEntry& runway, double heading,
            double reciprocal, AirportRecord& airport) {
    const SceneryBuffer& buffer = parse.Buffer();
    const std::int64_t p = trailer.Offset;
    parse.Admit(Counted::Ils, 1, std::int64_t{airport.IlsCount} + 1);
    IlsEntry& ils = airport.IlsList.Grow(static_cast<std::size_t>(airport.IlsCount));
    airport.IlsCount += 1;
    ils.Lat = LatitudeDegrees(buffer.ReadI32(p + 12));
    ils.Lon = LongitudeDegrees(buffer.ReadI32(p + 20));
    const double course = HeadingDegrees(buffer.ReadI32(p + 32));
    if (auto text = FrequencyText(buffer.ReadI32(p + 36))) ils.Freq = std::move(*text);
    const std::int64_t idLength = std::int64_t{trailer.Length} + kBlockHeaderBytes - 56;
    ils.IlsId = parse.StoredText(p + 56, idLength, "an ILS identifier");
    ils.MagHeading = geo::TrueToMagnetic(parse.Grid(), ToI16(course), ils.Lat, ils.Lon);
    // A localizer on the runway's own course is drawn from the runway end it serves.
    const double rounded = RoundHalfEven(course);
    if (rounded == RoundHalfEven(heading)) {
        ils.Lat = runway.End1Lat;
        ils.Lon = runway.End1Lon;
    } else if (rounded == RoundHalfEven(reciprocal)) {
        ils.Lat = runway.End2Lat;
        ils.Lon = runway.End2Lon;
    }
}

// Decodes a runway and the ILS records trailing it; returns the header of the
// first sub-record after them.
BlockHeader ParseRunway(SceneryParse& parse, const BlockHeader& sub, AirportRecord& airport) {
    const SceneryBuffer& buffer = parse.Buffer();
    const std::int64_t p = sub.Offset;
    const double lat = LatitudeDegrees(buffer.ReadI32(p + 12));
    const double lon = LongitudeDegrees(buffer.ReadI32(p + 20));
    const std::int32_t elevation = ElevationFeet(buffer.ReadI32(p + 28));
    const double heading = HeadingDegrees(buffer.ReadI32(p + 32));
    // The opposite end points the other way round the circle. Left unwrapped,
    // a heading below 0 would give a reciprocal below -180 that reads as a
    // negative magnetic heading and never matches an ILS course.
    double reciprocal = heading - 180.0;
    if (reciprocal < -180.0) reciprocal += 360.0;
    const std::int32_t lengthFt = buffer.ReadI32(p + 40);
    const std::int32_t widthFt = buffer.ReadI32(p + 44);
    const std::int32_t code = buffer.ReadI32(p + 48);
    const std::int32_t number = buffer.ReadI32(p + 52);

    // The drawn line leaves 30 m off each end of all but the shortest runways.
    double drawn = lengthFt * geo::kMetresPerFoot;
    if (drawn > 300.0) drawn -= 60.0;
    const double k = geo::kPi / 180.0;
    const double north = std::cos(heading * k) * drawn;
    const double east = std::sin(heading * k) * drawn;
    const double dLat = north * 360.0 * 0.5 / 40007000.0;
    const double dLon = east * 360.0 * 0.5 / (std::cos(lat * k) * 40007000.0);

    parse.Admit(Counted::Runway, 1, std::int64_t{airport.RunwayCount} + 1);
    RunwayEntry& runway = airport.Runways.Grow(static_cast<std::size_t>(airport.RunwayCount));
    airport.RunwayCount += 1;
    RunwayDesignators ids = DesignatorsFor(number, code);
    runway.PrimaryId = std::move(ids.Primary);
    runway.SecondaryId = std::move(ids.Secondary);
    runway.CenterLat = lat;
    runway.CenterLon = lon;
    runway.End1Lat = lat - dLat;
    runway.End1Lon = WrapLongitude(lon - dLon);
    runway.End2Lat = lat + dLat;
    runway.End2Lon = WrapLongitude(lon + dLon);
    runway.ElevationFt = elevation;
    runway.LengthFt = lengthFt;
    runway.WidthFt = widthFt;
    const DeclinationGrid& grid = parse.Grid();
    runway.PrimaryMagHeading = geo::TrueToMagnetic(grid, ToI16(heading), runway.End1Lat, runway.End1Lon);
    runway.SecondaryMagHeading = geo::TrueToMagnetic(grid, ToI16(reciprocal), runway.End2Lat, runway.End2Lon);

    BlockHeader next = parse.ReadHeader(parse.Next(sub, "runway record"));
    while (next.Type == kRunwayTrailer) {
        if (buffer.ReadI32(next.Offset + 40) == kIlsMark) {
            AddIls(parse, next, runway, heading, reciprocal, airport);
        }
        next = parse.ReadHeader(parse.Next(next, "runway trailing record"));
    }
    return next;
}

}  // namespace

DirectoryEnd ParseAirportDirectory(SceneryParse& parse, const BlockHeader& first) {
    const SceneryBuffer& buffer = parse.Buffer();
    BlockHeader block = first;
    while (block.Type == kDirectory) {
        const std::int32_t count = buffer.ReadI32(block.Offset + 20);
        std::int64_t entryOffset = block.Offset + 24;
        parse.CheckCount(count, kBlockHeaderBytes, entryOffset, block.Offset, "airport directory");
        // The walk visits one entry past the announced count; that extra one
        // may lie past the end of the file, which ends the walk quietly.
        for (std::int64_t i = 0; i <= count; ++i) {
            if (i == count && !buffer.Holds(entryOffset, kBlockHeaderBytes)) break;
            const BlockHeader entry = parse.ReadHeader(entryOffset);
            if (entry.Type == kDirectoryEntry) VisitDirectoryEntry(parse, entry);
            if (i < count) entryOffset = parse.Next(entry, "airport directory entry");
        }
        const std::int64_t next = parse.Next(block, "airport directory block");
        if (!buffer.Holds(next, kBlockHeaderBytes)) return {{next, 0, 0}, true};
        block = parse.ReadHeader(next);
    }
    return {block, false};
}

void ParseAirport(SceneryParse& parse, std::int64_t recordOffset, AirportRecord& airport) {
    const SceneryBuffer& buffer = parse.Buffer();
    BlockHeader sub = parse.ReadHeader(recordOffset + 16);
    for (;;) {
        switch (sub.Type) {
            case kReferencePoint:
                airport.Lat = LatitudeDegrees(buffer.ReadI32(sub.Offset + 12));
                airport.Lon = ReferenceLongitudeDegrees(buffer.ReadI32(sub.Offset + 20));
                airport.ElevationFt = ElevationFeet(buffer.ReadI32(sub.Offset + 28));
                break;
            case kName:
                airport.IcaoId =
                    UpperCaseAnsi(parse.StoredText(sub.Offset + 8, sub.Length, "an airport identifier"));
                break;
            case kFrequency:
                ApplyFrequency(buffer, sub, airport);
                break;
            case kRunway:
                sub = ParseRunway(parse, sub, airport);
                continue;
            case kTaxiwayNetwork:
                ParseTaxiwayNetwork(parse, sub, airport);
                break;
            case kSkippedRecord:
            case kRunwayTrailer:
            case kOtherSkippedRecord:
                break;
            default:
                return;
        }
        sub = parse.ReadHeader(parse.Next(sub, "airport sub-record"));
    }
}

}  // namespace tarnwick
