#include "radar/airport_layers.h"

#include "geo/geodesy.h"

namespace tarnwick {

namespace {
constexpr std::int16_t kFeatherLengthFt = 1800;
constexpr std::int16_t kFeatherHalfAngle = 5;
}  // namespace

// A narrow triangle from the ILS position back along the approach, towards the
// aircraft flying it. The line width is whatever the runways left.
void DrawIls(const ScopeContext& scope, const AirportRecord& airport) {
    Canvas& picture = scope.Picture;
    for (const IlsEntry& ils : airport.FilledIls()) {
        if (!scope.InView(ils.Lat, ils.Lon)) continue;
        picture.SetDrawColor(kIlsYellow);
        picture.SetFillColor(kIlsYellow);
        picture.SetFillStyle(FillStyle::Solid);
        const std::int16_t course = geo::MagneticToTrue(scope.Declination, ils.MagHeading, ils.Lat, ils.Lon);
        std::int16_t reverse = static_cast<std::int16_t>(course - 180);
        geo::NormalizeDegrees(reverse);
        std::int16_t a1 = static_cast<std::int16_t>(reverse - kFeatherHalfAngle);
        std::int16_t a2 = static_cast<std::int16_t>(reverse + kFeatherHalfAngle);
        geo::NormalizeDegrees(a1);
        geo::NormalizeDegrees(a2);
        const geo::GeoPoint p1 = geo::DestinationFeet(ils.Lat, ils.Lon, a1, kFeatherLengthFt);
        const geo::GeoPoint p2 = geo::DestinationFeet(ils.Lat, ils.Lon, a2, kFeatherLengthFt);
        const ScreenPoint a = scope.Project(ils.Lat, ils.Lon);
        const ScreenPoint b = scope.Project(p1.Lat, p1.Lon);
        const ScreenPoint c = scope.Project(p2.Lat, p2.Lon);
        picture.MoveToEx(a.X, a.Y);
        picture.LineTo(b.X, b.Y);
        picture.MoveToEx(b.X, b.Y);
        picture.LineTo(c.X, c.Y);
        picture.MoveToEx(c.X, c.Y);
        picture.LineTo(a.X, a.Y);
    }
}

}  // namespace tarnwick
