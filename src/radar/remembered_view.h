#pragma once
// The view a controller left an area at, kept in the user's configuration
// under the area's key, so that the scope comes back to it: the zoom level
// and the centre. Every view of a level has the same extents, so these two
// give the whole view back. An area never seen opens at level 9 on its centre.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "radar/radar_view.h"

namespace tarnwick {

struct RememberedView {
    std::int16_t ZoomLevel = kMinZoomLevel;
    double CenterLat = 0.0;
    double CenterLon = 0.0;
    bool operator==(const RememberedView&) const = default;
};

// "Airport-KSEA", "Sector-Seattle-Center": the area's kind and identifier,
// in characters a configuration key keeps as they are.
std::string RememberedViewKey(std::string_view areaKind, std::string_view areaTitle);

RememberedView RememberedViewOf(const RadarView& view);
// The view at the remembered level and centre; the picture's size is kept.
void ShowRememberedView(RadarView& view, const RememberedView& remembered);

// "23 47.449 -122.309": the level, then the centre's latitude and longitude.
std::string FormatRememberedView(const RememberedView& remembered);
// A hand-edited value is taken when it is three numbers, a whole level
// first: the level is brought into 1 to 55, the latitude into -90 to 90 and
// the longitude into -180 to 180. Anything else is no view.
std::optional<RememberedView> ParseRememberedView(std::string_view text);

}  // namespace tarnwick
