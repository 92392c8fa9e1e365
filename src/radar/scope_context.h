#pragma once
// What one redraw pass reads and where it draws.
#include "app/program_state.h"
#include "radar/canvas.h"
#include "radar/hover_target.h"
#include "radar/radar_view.h"

namespace tarnwick {

struct ScopeContext {
    Canvas& Picture;
    const RadarView& View;
    const ProgramState& State;
    const HoverTarget& Hover;

    ScreenPoint Project(double lat, double lon) const { return ProjectToScreen(View, lat, lon); }
    bool InView(double lat, double lon) const { return StrictlyInside(View.ViewBounds, lat, lon); }
};

}  // namespace tarnwick
