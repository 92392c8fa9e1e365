#include "radar/airport_layers.h"

namespace tarnwick {

// One red pixel per airport, whatever its size.
void DrawAirportDot(const ScopeContext& scope, const AirportRecord& airport) {
    if (!scope.InView(airport.Lat, airport.Lon)) return;
    const ScreenPoint p = scope.Project(airport.Lat, airport.Lon);
    scope.Picture.SetPixelV(p.X, p.Y, kAirportDotRed);
}

}  // namespace tarnwick
