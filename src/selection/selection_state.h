#pragma once
// The parts of the program state that loading, listing and gathering work on.
#include "geo/declination_grid.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "state/program_state.h"
#include "state/settings_state.h"
#include "state/world_tables.h"

namespace tarnwick {

struct SelectionState {
    SettingsState& Settings;  // the work folder, the simulator folder and the two counts
    DeclinationGrid& Declination;
    WorldTables& World;
    ChosenArea& Area;
    DisplayOptions& Display;  // the two ARTCC/FIR switches are set by the gathering
};

inline SelectionState SelectionOf(ProgramState& state) {
    return {state.Settings, *state.Declination, state.World, state.Area, state.Display};
}

}  // namespace tarnwick
