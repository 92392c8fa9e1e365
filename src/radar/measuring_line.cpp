#include "radar/measuring_line.h"

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "radar/scope_redraw.h"

namespace tarnwick {

namespace {

void DrawLineAndLabel(const ScopeContext& scope, GeoPosition anchor, GeoPosition pointer) {
    const ScreenPoint a = scope.Project(anchor.Lat, anchor.Lon);
    const ScreenPoint b = scope.Project(pointer.Lat, pointer.Lon);
    const std::int16_t distance = geo::DistanceNm(anchor.Lat, anchor.Lon, pointer.Lat, pointer.Lon);
    const std::int16_t course =
        geo::MagneticCourse(scope.Declination, anchor.Lat, anchor.Lon, pointer.Lat, pointer.Lon);
    // The label sits halfway along the great circle, not halfway on the screen.
    const std::int16_t trueCourse = geo::MagneticToTrue(scope.Declination, course, anchor.Lat, anchor.Lon);
    const geo::GeoPoint middle =
        geo::DestinationNm(anchor.Lat, anchor.Lon, trueCourse, ToI16(static_cast<double>(distance) / 2.0));
    const ScreenPoint m = scope.Project(middle.Lat, middle.Lon);

    Canvas& picture = scope.Picture;
    picture.SetDrawColor(kScopeGreen);
    picture.SetLineStyle(LineStyle::Dot);
    picture.MoveToEx(a.X, a.Y);
    picture.LineTo(b.X, b.Y);
    picture.SetDrawColor(kMeasureLabelWhite);
    picture.TextOutA(m.X, m.Y, MeasureLabel(distance, course));
}

}  // namespace

std::string MeasureLabel(std::int16_t distanceNm, std::int16_t courseDegrees) {
    return "Dist: " + std::to_string(distanceNm) + " nm" + "  Course: " + std::to_string(courseDegrees) +
           " *";
}

void DrawMeasuringMove(const ScopeContext& scope, GeoPosition anchor, GeoPosition pointer) {
    scope.Picture.Clear();
    try {
        DrawLineAndLabel(scope, anchor, pointer);
    } catch (const OverflowError&) {
        // An anchor left far outside by a recentring while measuring: the
        // line cannot be placed, the picture is still redrawn.
    }
    scope.Picture.SetLineStyle(LineStyle::Solid);
    RedrawScopeAndTraffic(scope);
    scope.Picture.ResetState();
}

}  // namespace tarnwick
