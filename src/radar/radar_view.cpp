#include "radar/radar_view.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"

namespace tarnwick {

namespace {

void Recenter(GeoBounds& bounds, double lon, double lat) {
    const double hx = std::fabs(bounds.East - bounds.West) / 2.0;
    const double hy = std::fabs(bounds.North - bounds.South) / 2.0;
    bounds = {lon - hx, lat + hy, lon + hx, lat - hy};
}

void AfterStep(RadarView& view) {
    if (view.ZoomLevel <= kCullFreezeLevel) view.CullBounds = view.ViewBounds;
}

}  // namespace

bool StrictlyInside(const GeoBounds& bounds, double lat, double lon) {
    return bounds.West < lon && lon < bounds.East && bounds.South < lat && lat < bounds.North;
}

ScreenPoint ProjectToScreen(const RadarView& view, double lat, double lon) {
    const GeoBounds& b = view.ViewBounds;
    const double x = (lon - b.West) / (b.East - b.West) * view.PictureWidthPx;
    const double y = (b.North - lat) / (b.North - b.South) * view.PictureHeightPx;
    return {ToI32(x), ToI32(y)};
}

GeoPosition PictureToGeo(const RadarView& view, double x, double y) {
    const GeoBounds& b = view.ViewBounds;
    const double width = view.PictureWidthPx > 0 ? view.PictureWidthPx : 1;
    const double height = view.PictureHeightPx > 0 ? view.PictureHeightPx : 1;
    return {b.North - y / height * (b.North - b.South), b.West + x / width * (b.East - b.West)};
}

bool ZoomInStep(RadarView& view) {
    if (view.ZoomLevel >= kMaxZoomLevel || view.ZoomLevel < kMinZoomLevel) return false;
    GeoBounds& b = view.ViewBounds;
    const double dx = std::fabs(b.East - b.West) / 10.0;
    const double dy = std::fabs(b.South - b.North) / 10.0;
    b.West += dx;
    b.East -= dx;
    b.North -= dy;
    b.South += dy;
    ++view.ZoomLevel;
    AfterStep(view);
    return true;
}

bool ZoomOutStep(RadarView& view) {
    if (view.ZoomLevel <= kMinZoomLevel || view.ZoomLevel > kMaxZoomLevel) return false;
    GeoBounds& b = view.ViewBounds;
    const double dx = std::fabs(b.East - b.West) / 8.0;
    const double dy = std::fabs(b.South - b.North) / 8.0;
    b.West -= dx;
    b.East += dx;
    b.North += dy;
    b.South -= dy;
    --view.ZoomLevel;
    AfterStep(view);
    return true;
}

int ZoomBy(RadarView& view, int levels) {
    int moved = 0;
    while (moved < levels && ZoomInStep(view)) ++moved;
    while (moved > levels && ZoomOutStep(view)) --moved;
    return moved;
}

void Center_Airport(RadarView& view, double airpt_loc_x, double airpt_loc_y) {
    Recenter(view.ViewBounds, airpt_loc_x, airpt_loc_y);
    Recenter(view.CullBounds, airpt_loc_x, airpt_loc_y);
}

void InitializeView(RadarView& view, std::int32_t widthPx, std::int32_t heightPx, double centerLat,
                    double centerLon) {
    view.PictureWidthPx = widthPx;
    view.PictureHeightPx = heightPx;
    ShowAt(view, static_cast<std::int16_t>(kMinZoomLevel + kInitialZoomSteps), centerLat, centerLon);
}

void ShowAt(RadarView& view, std::int16_t level, double centerLat, double centerLon) {
    view.ViewBounds = {-179.9999, 89.9999, 179.9999, -89.9999};
    view.CullBounds = view.ViewBounds;
    view.ZoomLevel = kMinZoomLevel;
    Center_Airport(view, centerLon, centerLat);
    const std::int16_t target = std::clamp(level, kMinZoomLevel, kMaxZoomLevel);
    while (view.ZoomLevel < target) ZoomInStep(view);
}

std::string ZoomCaption(std::int16_t level) { return "x" + std::to_string(level); }

}  // namespace tarnwick
