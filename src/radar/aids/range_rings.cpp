#include "radar/aids/range_rings.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "geo/local_offset.h"
#include "radar/aids/scope_aids.h"

namespace tarnwick {
namespace {

constexpr int kMostRings = 200;
constexpr double kThinning[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

}  // namespace

void DrawRangeRings(const ScopeContext& scope, std::int32_t spacingNm) {
    const RadarView& view = scope.View;
    const ChosenArea& area = scope.Area;
    const double spanLon = view.ViewBounds.East - view.ViewBounds.West;
    const double spanLat = view.ViewBounds.North - view.ViewBounds.South;
    if (spacingNm < 1 || spanLon <= 0.0 || spanLat <= 0.0) return;
    // Pixels per nautical mile along each axis at the centre: the scope's axes
    // have scales of their own, so a ring is an ellipse like the map.
    const geo::GeoPoint east = geo::MovedBy(area.AreaCenterLat, area.AreaCenterLon, {1.0, 0.0});
    const double pxPerNmX = (east.Lon - area.AreaCenterLon) / spanLon * view.PictureWidthPx;
    const double pxPerNmY = 1.0 / 60.0 / spanLat * view.PictureHeightPx;
    if (!(pxPerNmX > 0.0) || !(pxPerNmY > 0.0)) return;

    double stepNm = spacingNm;
    for (const double factor : kThinning) {
        stepNm = spacingNm * factor;
        if (stepNm * std::min(pxPerNmX, pxPerNmY) >= kFewestPixelsBetweenRings) break;
    }
    ScreenPoint c;
    try {
        c = scope.Project(area.AreaCenterLat, area.AreaCenterLon);
    } catch (const OverflowError&) {
        return;
    }
    // The view's nearest and farthest points from the centre, in miles.
    const double cx = c.X / pxPerNmX;
    const double cy = c.Y / pxPerNmY;
    const double w = view.PictureWidthPx / pxPerNmX;
    const double h = view.PictureHeightPx / pxPerNmY;
    const double nearX = std::clamp(cx, 0.0, w) - cx;
    const double nearY = std::clamp(cy, 0.0, h) - cy;
    const double farX = std::max(cx, w - cx);
    const double farY = std::max(cy, h - cy);
    const double nearest = std::hypot(nearX, nearY);
    const double farthest = std::hypot(farX, farY);
    const int firstRing = std::max(1, static_cast<int>(std::floor(nearest / stepNm)));
    const int lastRing = std::min(firstRing + kMostRings, static_cast<int>(std::ceil(farthest / stepNm)));

    Canvas& picture = scope.Picture;
    picture.SetDrawColor(kRangeRingGrey);
    picture.SetLineWidth(1);
    picture.SetLineStyle(LineStyle::Solid);
    picture.SetFillStyle(FillStyle::Transparent);
    const std::int32_t lineHeight = picture.Metrics().LineHeight;
    // Every ring says its distance when the rings are a line apart, else every few.
    const int labelEvery = std::max(1, static_cast<int>(std::ceil((lineHeight + 2) / (stepNm * pxPerNmY))));
    for (int ring = firstRing; ring <= lastRing; ++ring) {
        const double radiusNm = stepNm * ring;
        std::int32_t left = 0, top = 0, right = 0, bottom = 0, ry = 0;
        try {
            const std::int64_t rx = ToI32(radiusNm * pxPerNmX);
            ry = ToI32(radiusNm * pxPerNmY);
            left = CheckedI32(c.X - rx);
            right = CheckedI32(c.X + rx);
            top = CheckedI32(std::int64_t{c.Y} - ry);
            bottom = CheckedI32(std::int64_t{c.Y} + ry);
        } catch (const OverflowError&) {
            return;  // the rest are larger still
        }
        picture.Ellipse(left, top, right, bottom);
        if (ring % labelEvery == 0) {
            // Just inside the ring's top, where it is read upright.
            picture.TextOutA(c.X + 2, c.Y - ry + 1, std::to_string(static_cast<long long>(radiusNm)));
        }
    }
}

}  // namespace tarnwick
