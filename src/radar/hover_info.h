#pragma once
// What the pointer rests on: the hover timer's search through airspaces,
// aircraft, parkings, runway ends and ILS near the pointer, and the text of
// the information box.
#include <optional>
#include <string>

#include "radar/hover_target.h"
#include "radar/radar_view.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

// How near the pointer an object's pixel must be, rounded to whole pixels.
inline constexpr std::int32_t kHoverReachPx = 7;

inline constexpr const char* kSelectedAirspaceCaption = "Current Selected Airspace";

// The box's lines are joined by CR LF.
inline constexpr const char* kBoxLineBreak = "\r\n";

struct HoverScene {
    const RadarView& View;
    const ChosenArea& Area;
    const DisplayOptions& Display;
    ScopeTraffic Traffic;
};

struct HoverInfo {
    // The box's text (Windows-1252, lines joined by CR LF); empty when nothing
    // is hit or the last hit has nothing to tell.
    std::string Text;
    // The last airspace hit, to be highlighted; none when no airspace was hit.
    std::optional<HoverTarget> Airspace;
};

bool WithinHoverReach(ScreenPoint object, ScreenPoint pointer);

// Every candidate near the pointer in a fixed order (airspaces, aircraft, then
// per airport its parkings, runway ends and ILS); the last hit gives the text.
HoverInfo FindHoverInfo(const HoverScene& scene, GeoPosition pointer);

}  // namespace tarnwick
