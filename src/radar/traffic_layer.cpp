#include "radar/traffic_layer.h"

#include "base/number_format.h"
#include "base/rounding.h"
#include "geo/geodesy.h"
#include "radar/aids/aided_traffic.h"
#include "radar/scope_redraw.h"

namespace tarnwick {

AircraftSymbol SymbolOf(const ScopeContext& scope, const PlayerRecord& record) {
    const std::int16_t course =
        geo::MagneticToTrue(scope.Declination, ToI16(record.Heading), record.Latitude, record.Longitude);
    const geo::GeoPoint ahead =
        geo::DestinationFeet(record.Latitude, record.Longitude, course, kHeadingLineFt);
    return {scope.Project(record.Latitude, record.Longitude), scope.Project(ahead.Lat, ahead.Lon)};
}

std::string TrafficLabel(const PlayerRecord& record) {
    return record.Name + " Hdg: " + FormatGeneral(record.Heading) +
           " Alt: " + std::to_string(record.Altitude);
}

void DrawTraffic(const ScopeContext& scope) {
    if (scope.Aids && DrawsAidedTraffic(scope.Aids->Settings)) {
        DrawAidedTraffic(scope);
        return;
    }
    Canvas& picture = scope.Picture;
    for (const PlayerRecord& record : scope.Traffic.Table.Entries()) {
        if (!ShowsOnScope(scope.Traffic, record) || !scope.InView(record.Latitude, record.Longitude))
            continue;
        AircraftSymbol symbol;
        try {
            symbol = SymbolOf(scope, record);
        } catch (const OverflowError&) {
            continue;
        }
        const ScreenPoint p = symbol.Position;
        picture.SetDrawColor(kScopeGreen);
        picture.SetFillColor(kScopeGreen);
        picture.SetFillStyle(FillStyle::Solid);
        picture.Ellipse(p.X - kAircraftDiscRadiusPx, p.Y + kAircraftDiscRadiusPx, p.X + kAircraftDiscRadiusPx,
                        p.Y - kAircraftDiscRadiusPx);
        // The heading line keeps the width and style a background pass left.
        picture.MoveToEx(p.X, p.Y);
        picture.LineTo(symbol.LineEnd.X, symbol.LineEnd.Y);
        picture.TextOutA(p.X, p.Y, TrafficLabel(record));
    }
    picture.ResetState();
}

}  // namespace tarnwick
