#include "radar/airport_layers.h"

namespace tarnwick {

void DrawAirportName(const ScopeContext& scope, const AirportRecord& airport) {
    if (!scope.InView(airport.Lat, airport.Lon)) return;
    const ScreenPoint p = scope.Project(airport.Lat, airport.Lon);
    scope.Picture.SetDrawColor(kLabelWhite);
    scope.Picture.TextOutA(p.X, p.Y, airport.Name);
}

}  // namespace tarnwick
