#include "radar/airport_layers.h"

namespace tarnwick {

namespace {
constexpr std::int32_t kDiscRadiusPx = 5;
}

// A filled disc of fixed pixel size per gate or parking.
void DrawParkings(const ScopeContext& scope, const AirportRecord& airport) {
    Canvas& picture = scope.Picture;
    for (const ParkingEntry& parking : airport.FilledParkings()) {
        if (!scope.InView(parking.Lat, parking.Lon)) continue;
        picture.SetDrawColor(kParkingBrown);
        picture.SetFillColor(kParkingBrown);
        picture.SetFillStyle(FillStyle::Solid);
        const ScreenPoint p = scope.Project(parking.Lat, parking.Lon);
        // Given bottom-up, as the picture's user scale runs north to south.
        picture.Ellipse(p.X - kDiscRadiusPx, p.Y + kDiscRadiusPx, p.X + kDiscRadiusPx, p.Y - kDiscRadiusPx);
    }
}

}  // namespace tarnwick
