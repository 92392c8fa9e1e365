#include "scenery/airspace_records.h"

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "scenery/airport_records.h"
#include "scenery/scenery_layout.h"
#include "scenery/scenery_values.h"

namespace tarnwick {
namespace {

using namespace bgl;

double Lat4(const SceneryBuffer& buffer, std::int64_t offset) {
    return RoundDecimals(LatitudeDegrees(buffer.ReadI32(offset)), 4);
}

double Lon4(const SceneryBuffer& buffer, std::int64_t offset) {
    return RoundDecimals(LongitudeDegrees(buffer.ReadI32(offset)), 4);
}

BoundaryPoint& AddPoint(SceneryParse& parse, AirspaceRecord& airspace, std::uint8_t kind) {
    parse.Admit(Counted::BoundaryPoint, 1, std::int64_t{airspace.PointCount} + 1);
    BoundaryPoint& point = airspace.Points.Grow(static_cast<std::size_t>(airspace.PointCount));
    airspace.PointCount += 1;
    point.Kind = kind;
    return point;
}

void AddPlacedPoint(SceneryParse& parse, const BlockHeader& sub, std::uint8_t kind,
                    AirspaceRecord& airspace) {
    const double lat = Lat4(parse.Buffer(), sub.Offset + 12);
    const double lon = Lon4(parse.Buffer(), sub.Offset + 20);
    BoundaryPoint& point = AddPoint(parse, airspace, kind);
    point.Lat = lat;
    point.Lon = lon;
}

void SetRectangle(const SceneryBuffer& buffer, const DeclinationGrid& grid, const BlockHeader& sub,
                  AirspaceRecord& airspace) {
    airspace.Corner2Lat = Lat4(buffer, sub.Offset + 8);
    airspace.Corner1Lon = Lon4(buffer, sub.Offset + 12);
    airspace.Corner1Lat = Lat4(buffer, sub.Offset + 16);
    airspace.Corner2Lon = Lon4(buffer, sub.Offset + 20);
    const double lat1 = airspace.Corner1Lat, lon1 = airspace.Corner1Lon;
    const std::int16_t distance = geo::DistanceNm(lat1, lon1, airspace.Corner2Lat, airspace.Corner2Lon);
    const std::int16_t course = geo::MagneticToTrue(
        grid, geo::MagneticCourse(grid, lat1, lon1, airspace.Corner2Lat, airspace.Corner2Lon), lat1, lon1);
    const geo::GeoPoint centre = geo::DestinationNm(lat1, lon1, course, ToI16(distance / 2.0));
    airspace.CenterLat = centre.Lat;
    airspace.CenterLon = centre.Lon;
}

// Records with a controlling unit's frequency and name are control sectors;
// the others are terminal areas told apart by how low they reach.
std::string ClassOf(const AirspaceRecord& airspace) {
    if (!airspace.FrequencyText.empty() && !airspace.FullName.empty()) {
        return airspace.FromAltitude < 0 && airspace.ToAltitude < 0 ? kArtccHigh : kArtccLow;
    }
    std::string result = kClassB;
    if (airspace.FromAltitude <= kClassCCeilingFt && airspace.ToAltitude <= kClassCCeilingFt)
        result = kClassC;
    if (airspace.FromAltitude <= kClassDCeilingFt && airspace.ToAltitude <= kClassDCeilingFt)
        result = kClassD;
    return result;
}

bool IsStored(const std::string& classText) {
    return classText == kArtccHigh || classText == kArtccLow || classText == kClassB;
}

}  // namespace

void ParseAirspace(SceneryParse& parse, std::int64_t recordOffset) {
    const SceneryBuffer& buffer = parse.Buffer();
    AirspaceRecord airspace;
    BlockHeader sub = parse.ReadHeader(recordOffset + 16);
    for (;;) {
        const std::int64_t p = sub.Offset;
        switch (sub.Type) {
            case kName:
                airspace.AirspaceName = parse.StoredText(p + 8, sub.Length, "an airspace name");
                break;
            case kBoundingRectangle:
                SetRectangle(buffer, parse.Grid(), sub, airspace);
                break;
            case kArcCentrePoint:
                AddPlacedPoint(parse, sub, kArcCentre, airspace);
                break;
            case kStartPoint:
                airspace.FromAltitude = buffer.ReadI32(p + 24);
                airspace.ToAltitude = buffer.ReadI32(p + 28);
                AddPlacedPoint(parse, sub, kMovePoint, airspace);
                break;
            case kSkippedPoint:
                break;
            case kLinePoint:
                AddPlacedPoint(parse, sub, kLine, airspace);
                break;
            case kClockwiseArcPoint:
                AddPlacedPoint(parse, sub, kClockwiseArc, airspace);
                break;
            case kCounterClockwiseArcPoint:
                AddPlacedPoint(parse, sub, kCounterClockwiseArc, airspace);
                break;
            case kCirclePoint: {
                const std::int32_t radius = buffer.ReadI32(p + 8);
                airspace.FromAltitude = buffer.ReadI32(p + 16);
                airspace.ToAltitude = buffer.ReadI32(p + 20);
                AddPoint(parse, airspace, kCircle).Radius = radius;
                break;
            }
            case kFrequency: {
                const std::int32_t raw = buffer.ReadI32(p + 8);
                const std::int64_t nameLength = std::int64_t{sub.Length} + kBlockHeaderBytes - 16;
                airspace.FullName = parse.StoredText(p + 16, nameLength, "an airspace unit name");
                if (auto text = FrequencyText(raw)) airspace.FrequencyText = *text + " Mhz";
                break;
            }
            default:
                airspace.ClassText = ClassOf(airspace);
                if (IsStored(airspace.ClassText)) parse.AppendAirspace() = std::move(airspace);
                return;
        }
        sub = parse.ReadHeader(parse.Next(sub, "airspace sub-record"));
    }
}

void ParseAirspaceGroup(SceneryParse& parse, const BlockHeader& first) {
    const SceneryBuffer& buffer = parse.Buffer();
    BlockHeader block = first;
    while (block.Type == kGroupOrRecord || block.Type == kDirectory) {
        if (block.Type == kGroupOrRecord && buffer.ReadI32(block.Offset + 8) == kRecordMark) {
            ParseAirspace(parse, block.Offset);
        }
        block = parse.ReadHeader(parse.Next(block, "airspace group block"));
    }
}

void ParseAirspaceSection(SceneryParse& parse, const BlockHeader& first) {
    const SceneryBuffer& buffer = parse.Buffer();
    BlockHeader block = first;
    for (;;) {
        if (block.Type == kGroupOrRecord) {
            if (buffer.ReadI32(block.Offset + 8) == kGroupMark) {
                ParseAirspaceGroup(parse, parse.ReadHeader(block.Offset + 16));
            }
            block = parse.ReadHeader(parse.Next(block, "airspace section block"));
        } else if (block.Type == kDirectory) {
            // Resume at the first block after the directory chain.
            const DirectoryEnd end = ParseAirportDirectory(parse, block);
            if (end.ReachedFileEnd) return;
            block = end.Next;
        } else {
            return;
        }
    }
}

}  // namespace tarnwick
