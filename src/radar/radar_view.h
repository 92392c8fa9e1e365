#pragma once
// The scope's view: which rectangle of the earth the picture shows, at which
// zoom step, and how a position becomes a pixel. The map is equirectangular
// with each axis scaled on its own to the picture's size.
#include <cstdint>
#include <string>

namespace tarnwick {

// Degrees, in the order of the picture's coordinate system: (West, North) is
// the top-left corner, (East, South) the bottom-right.
struct GeoBounds {
    double West = 0, North = 0, East = 0, South = 0;
    bool operator==(const GeoBounds&) const = default;
};

struct ScreenPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct GeoPosition {
    double Lat = 0;
    double Lon = 0;
};

inline constexpr std::int16_t kMinZoomLevel = 1;
inline constexpr std::int16_t kMaxZoomLevel = 55;
// The level the window opens at: eight steps in from the whole world.
inline constexpr int kInitialZoomSteps = 8;
// At this level and closer the detailed layers keep choosing their airports
// from the level-35 rectangle.
inline constexpr std::int16_t kCullFreezeLevel = 35;
// Ctrl+wheel, Page Up and Page Down move this many levels at once.
inline constexpr int kFastZoomLevels = 5;

struct RadarView {
    GeoBounds ViewBounds;
    // The rectangle that decides which airports get their detailed layers.
    GeoBounds CullBounds;
    std::int32_t PictureWidthPx = 0;
    std::int32_t PictureHeightPx = 0;
    std::int16_t ZoomLevel = kMinZoomLevel;
};

// Strictly inside: a position on an edge is outside.
bool StrictlyInside(const GeoBounds& bounds, double lat, double lon);

// Pixel of a position, rounded half to even; positions outside the view give
// coordinates outside the picture. Throws OverflowError past 32 bits.
ScreenPoint ProjectToScreen(const RadarView& view, double lat, double lon);

// The position under a picture pixel (the picture's user scale).
GeoPosition PictureToGeo(const RadarView& view, double x, double y);

// One zoom step; false when the level is at its limit and nothing changed.
bool ZoomInStep(RadarView& view);
bool ZoomOutStep(RadarView& view);

// Up to `levels` steps in (positive) or out (negative), stopping at a limit;
// the number of levels actually moved, signed likewise.
int ZoomBy(RadarView& view, int levels);

// Moves the view and the cull rectangle to a new centre, keeping their extents.
void Center_Airport(RadarView& view, double airpt_loc_x, double airpt_loc_y);

// The whole world at level 1, recentred on the area, then eight steps in.
void InitializeView(RadarView& view, std::int32_t widthPx, std::int32_t heightPx, double centerLat,
                    double centerLon);

// The view at a level (brought into 1 to 55) around a centre, exactly as
// zooming in from the whole world there would leave it, the picture's size
// kept: every view of that level has the same extents.
void ShowAt(RadarView& view, std::int16_t level, double centerLat, double centerLon);

// "x" and the level: x9, x10.
std::string ZoomCaption(std::int16_t level);

}  // namespace tarnwick
