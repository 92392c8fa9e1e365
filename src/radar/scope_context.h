#pragma once
// What one redraw pass reads and where it draws.
#include "geo/declination_grid.h"
#include "radar/aids/scope_aids.h"
#include "radar/canvas.h"
#include "radar/hover_target.h"
#include "radar/radar_view.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

struct ScopeContext {
    Canvas& Picture;
    const RadarView& View;
    const ChosenArea& Area;
    const DisplayOptions& Display;
    const DeclinationGrid& Declination;
    const HoverTarget& Hover;
    ScopeTraffic Traffic;
    // The controller's aids; none draws the scope as it always was.
    const ScopeAids* Aids = nullptr;

    ScreenPoint Project(double lat, double lon) const { return ProjectToScreen(View, lat, lon); }
    bool InView(double lat, double lon) const { return StrictlyInside(View.ViewBounds, lat, lon); }
};

}  // namespace tarnwick
