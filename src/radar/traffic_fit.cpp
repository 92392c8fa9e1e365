#include "radar/traffic_fit.h"

#include <algorithm>
#include <vector>

namespace tarnwick {
namespace {

bool HoldsAll(const RadarView& view, const std::vector<GeoPosition>& positions) {
    const GeoBounds& b = view.ViewBounds;
    return std::ranges::all_of(positions, [&](const GeoPosition& p) {
        const double x = (p.Lon - b.West) / (b.East - b.West);
        const double y = (b.North - p.Lat) / (b.North - b.South);
        return x >= kFitMargin && x <= 1.0 - kFitMargin && y >= kFitMargin && y <= 1.0 - kFitMargin;
    });
}

}  // namespace

std::optional<RememberedView> ViewShowingAll(const ScopeTraffic& traffic) {
    std::vector<GeoPosition> positions;
    for (const PlayerRecord& entry : traffic.Table.Entries()) {
        // A new entry stands at 0, 0 until its first position report.
        const bool placed = entry.Latitude != 0.0 || entry.Longitude != 0.0;
        if (placed && ShowsOnScope(traffic, entry)) positions.push_back({entry.Latitude, entry.Longitude});
    }
    if (positions.empty()) return std::nullopt;
    const auto [south, north] = std::ranges::minmax(positions, {}, &GeoPosition::Lat);
    const auto [west, east] = std::ranges::minmax(positions, {}, &GeoPosition::Lon);
    RadarView view;
    ShowAt(view, kMinZoomLevel, (south.Lat + north.Lat) / 2.0, (west.Lon + east.Lon) / 2.0);
    RadarView closer = view;
    while (closer.ZoomLevel < kFitClosestLevel && ZoomInStep(closer) && HoldsAll(closer, positions))
        view = closer;
    return RememberedViewOf(view);
}

}  // namespace tarnwick
