#include "radar/airport_layers.h"

namespace tarnwick {

// A runway shows when any of its centre or ends is in view, so a long runway
// crossing a close view still appears; the picture clips the line.
void DrawRunways(const ScopeContext& scope, const AirportRecord& airport) {
    Canvas& picture = scope.Picture;
    for (const RunwayEntry& runway : airport.FilledRunways()) {
        if (!scope.InView(runway.CenterLat, runway.CenterLon) &&
            !scope.InView(runway.End1Lat, runway.End1Lon) && !scope.InView(runway.End2Lat, runway.End2Lon)) {
            continue;
        }
        picture.SetDrawColor(kRunwayGreen);
        picture.SetLineWidth(2);
        const ScreenPoint a = scope.Project(runway.End1Lat, runway.End1Lon);
        const ScreenPoint b = scope.Project(runway.End2Lat, runway.End2Lon);
        picture.MoveToEx(a.X, a.Y);
        picture.LineTo(b.X, b.Y);
        picture.SetDrawColor(kLabelWhite);
        picture.TextOutA(a.X, a.Y, runway.PrimaryId);
        picture.TextOutA(b.X, b.Y, runway.SecondaryId);
    }
}

}  // namespace tarnwick
