#include "radar/airspace_layer.h"

#include <cmath>
#include <optional>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "radar/airport_layers.h"
#include "scenery/scenery_layout.h"

namespace tarnwick {

namespace {

constexpr std::int32_t kDiscRadiusPx = 5;
// Bounding squares are built from corners on the diagonals through the centre.
constexpr std::int16_t kNorthWest = 315;
constexpr std::int16_t kSouthEast = 135;

struct OutlineStyle {
    Rgb Color;
    std::int32_t Width;
    LineStyle Line;
};

// Known types get a style; others keep what the centre disc left.
std::optional<OutlineStyle> StyleOf(const std::string& type, bool sector, bool highlighted) {
    const Rgb normal = highlighted ? kHighlightYellow : kAirspaceCyan;
    if (IsArtccClass(type)) {
        return OutlineStyle{highlighted ? kHighlightYellow : (sector ? kSectorPurple : normal), 3,
                            LineStyle::Solid};
    }
    if (type == kTracon) return OutlineStyle{normal, 1, LineStyle::Solid};
    if (type == kClassB || type == kClassC) return OutlineStyle{normal, 1, LineStyle::Dash};
    return std::nullopt;
}

// Runs an outline: a small program with a current position and an arc centre.
class OutlineRunner {
   public:
    explicit OutlineRunner(const ScopeContext& scope) : scope_(scope) {}

    void Run(const AirspaceRecord& airspace) {
        current_ = {};
        for (const BoundaryPoint& point : airspace.FilledPoints()) {
            // A distance or pixel that does not fit its integer (a broken
            // record) loses that element only, not the whole scope.
            try {
                Draw(point);
            } catch (const OverflowError&) {
            }
            if (point.Kind == bgl::kMovePoint || point.Kind == bgl::kClockwiseArc ||
                point.Kind == bgl::kCounterClockwiseArc || point.Kind == bgl::kLine) {
                current_ = {point.Lat, point.Lon};
            }
        }
    }

   private:
    void Draw(const BoundaryPoint& point) {
        Canvas& picture = scope_.Picture;
        switch (point.Kind) {
            case bgl::kArcCentre:
                centre_ = {point.Lat, point.Lon};
                break;
            case bgl::kCircle: {
                const std::int16_t d = Diagonal(CheckedI16(point.Radius));
                const ScreenPoint a = Corner(kNorthWest, d);
                const ScreenPoint b = Corner(kSouthEast, d);
                picture.Ellipse(a.X, a.Y, b.X, b.Y);
                break;
            }
            case bgl::kClockwiseArc:
            case bgl::kCounterClockwiseArc: {
                const std::int16_t d1 =
                    Diagonal(geo::DistanceNm(centre_.Lat, centre_.Lon, current_.Lat, current_.Lon));
                const std::int16_t d2 =
                    Diagonal(geo::DistanceNm(centre_.Lat, centre_.Lon, point.Lat, point.Lon));
                const ScreenPoint a = Corner(kNorthWest, d1);
                const ScreenPoint b = Corner(kSouthEast, d2);
                const ScreenPoint p = scope_.Project(current_.Lat, current_.Lon);
                const ScreenPoint e = scope_.Project(point.Lat, point.Lon);
                // Arcs run counter-clockwise: a clockwise arc from P to E is
                // the counter-clockwise one from E to P.
                if (point.Kind == bgl::kClockwiseArc) {
                    picture.Arc(a.X, a.Y, b.X, b.Y, e.X, e.Y, p.X, p.Y);
                } else {
                    picture.Arc(a.X, a.Y, b.X, b.Y, p.X, p.Y, e.X, e.Y);
                }
                break;
            }
            case bgl::kLine: {
                const ScreenPoint p = scope_.Project(current_.Lat, current_.Lon);
                const ScreenPoint e = scope_.Project(point.Lat, point.Lon);
                picture.MoveToEx(p.X, p.Y);
                picture.LineTo(e.X, e.Y);
                break;
            }
            default:
                break;
        }
    }

    // r x sqrt(2), rounded: the corner distance of the circle's bounding square.
    static std::int16_t Diagonal(std::int16_t r) {
        const double rr = static_cast<double>(r) * r;
        return ToI16(std::sqrt(rr + rr));
    }

    ScreenPoint Corner(std::int16_t course, std::int16_t distance) const {
        const geo::GeoPoint corner = geo::DestinationNm(centre_.Lat, centre_.Lon, course, distance);
        return scope_.Project(corner.Lat, corner.Lon);
    }

    const ScopeContext& scope_;
    GeoPosition current_;
    GeoPosition centre_;  // kept from one airspace to the next
};

void DrawOne(const ScopeContext& scope, OutlineRunner& runner, const AirspaceRecord& airspace,
             bool highlighted) {
    Canvas& picture = scope.Picture;
    const bool sector = scope.Area.AreaKind == kAreaKindSector && airspace.FullName == scope.Area.AreaTitle;
    const Rgb discColor = highlighted ? kHighlightYellow : (sector ? kSectorPurple : kAirspaceCyan);
    try {
        const ScreenPoint c = scope.Project(airspace.CenterLat, airspace.CenterLon);
        picture.SetDrawColor(discColor);
        picture.SetFillColor(discColor);
        picture.SetLineWidth(1);
        picture.SetLineStyle(LineStyle::Solid);
        picture.SetFillStyle(FillStyle::Solid);
        picture.Ellipse(c.X - kDiscRadiusPx, c.Y + kDiscRadiusPx, c.X + kDiscRadiusPx, c.Y - kDiscRadiusPx);
    } catch (const OverflowError&) {
        return;
    }
    if (const std::optional<OutlineStyle> style = StyleOf(airspace.ClassText, sector, highlighted)) {
        picture.SetDrawColor(style->Color);
        picture.SetLineWidth(style->Width);
        picture.SetLineStyle(style->Line);
        picture.SetFillStyle(FillStyle::Transparent);
    }
    runner.Run(airspace);
}

bool Designates(const HoverTarget& hover, const AirspaceRecord& airspace) {
    return hover.DesignatesAirspace() && airspace.CenterLat == hover.Lat && airspace.CenterLon == hover.Lon;
}

bool SwitchedOff(const DisplayOptions& display, const std::string& type) {
    return (type == kArtccHigh && !display.DisplayHighArtcc) ||
           (type == kArtccLow && !display.DisplayLowArtcc);
}

}  // namespace

void DrawAirspaces(const ScopeContext& scope) {
    const ChosenArea& area = scope.Area;
    OutlineRunner runner(scope);
    std::optional<std::size_t> highlighted;
    const std::span<const AirspaceRecord> airspaces = area.FilledAirspaces();
    for (std::size_t i = 0; i < airspaces.size(); ++i) {
        const AirspaceRecord& airspace = airspaces[i];
        if (Designates(scope.Hover, airspace)) {
            highlighted = i;
            continue;
        }
        if (SwitchedOff(scope.Display, airspace.ClassText)) continue;
        // Placed by its centre: an outline crossing the view with its centre
        // outside is not drawn.
        if (!scope.InView(airspace.CenterLat, airspace.CenterLon)) continue;
        DrawOne(scope, runner, airspace, false);
    }
    // Drawn last so it lies on top; the switches and the view test do not apply.
    if (highlighted) DrawOne(scope, runner, airspaces[*highlighted], true);
}

}  // namespace tarnwick
