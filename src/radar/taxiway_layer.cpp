#include <optional>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "radar/airport_layers.h"
#include "scenery/scenery_layout.h"

namespace tarnwick {

namespace {

struct SegmentEnds {
    double StartLat, StartLon, EndLat, EndLon;
};

// Types 0 and 1 join two taxi points, type 2 a taxi point to a parking. Other
// types, and indexes outside the airport's tables, give no segment.
std::optional<SegmentEnds> EndsOf(const AirportRecord& airport, const TaxiSegmentEntry& segment) {
    const auto inTable = [](std::int32_t index, std::size_t slots) {
        return index >= 0 && static_cast<std::size_t>(index) < slots;
    };
    if (!inTable(segment.FromPoint, airport.TaxiPoints.SlotCount())) return std::nullopt;
    const TaxiPointEntry& start = airport.TaxiPoints[static_cast<std::size_t>(segment.FromPoint)];
    const auto to = static_cast<std::size_t>(segment.ToPoint);
    if (segment.SegmentType == bgl::kNamedTaxiwaySegment || segment.SegmentType == bgl::kRunwaySegment) {
        if (!inTable(segment.ToPoint, airport.TaxiPoints.SlotCount())) return std::nullopt;
        const TaxiPointEntry& end = airport.TaxiPoints[to];
        return SegmentEnds{start.Lat, start.Lon, end.Lat, end.Lon};
    }
    if (segment.SegmentType == bgl::kParkingSegment) {
        if (!inTable(segment.ToPoint, airport.Parkings.SlotCount())) return std::nullopt;
        const ParkingEntry& end = airport.Parkings[to];
        return SegmentEnds{start.Lat, start.Lon, end.Lat, end.Lon};
    }
    return std::nullopt;
}

bool ShowsName(const TaxiSegmentEntry& segment) {
    return segment.SegmentType == bgl::kNamedTaxiwaySegment && !segment.Label.empty() && segment.Label != " ";
}

}  // namespace

void DrawTaxiways(const ScopeContext& scope, const AirportRecord& airport) {
    Canvas& picture = scope.Picture;
    const DeclinationGrid& grid = scope.Declination;
    for (const TaxiSegmentEntry& segment : airport.FilledTaxiSegments()) {
        const std::optional<SegmentEnds> ends = EndsOf(airport, segment);
        if (!ends) continue;
        const SegmentEnds& s = *ends;
        if (!scope.InView(s.StartLat, s.StartLon) && !scope.InView(s.EndLat, s.EndLon)) continue;
        picture.SetDrawColor(kTaxiwayGrey);
        picture.SetLineWidth(2);
        const ScreenPoint a = scope.Project(s.StartLat, s.StartLon);
        const ScreenPoint b = scope.Project(s.EndLat, s.EndLon);
        picture.MoveToEx(a.X, a.Y);
        picture.LineTo(b.X, b.Y);
        if (!scope.Display.DisplayTaxiwayIds || !ShowsName(segment)) continue;
        // The name sits at the midpoint, found along the true course.
        const std::int16_t length = geo::DistanceFeet(s.StartLat, s.StartLon, s.EndLat, s.EndLon);
        const std::int16_t course =
            geo::MagneticToTrue(grid, geo::MagneticCourse(grid, s.StartLat, s.StartLon, s.EndLat, s.EndLon),
                                s.StartLat, s.StartLon);
        const geo::GeoPoint middle =
            geo::DestinationFeet(s.StartLat, s.StartLon, course, ToI16(length / 2.0));
        const ScreenPoint m = scope.Project(middle.Lat, middle.Lon);
        picture.SetDrawColor(kLabelWhite);
        picture.TextOutA(m.X, m.Y, segment.Label);
    }
}

}  // namespace tarnwick
