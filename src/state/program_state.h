#pragma once
// Everything the program shares between its windows for the whole run, in
// named parts. The application owns one instance; each subsystem is handed
// only the parts it uses.
#include <memory>

#include "geo/declination_grid.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "state/radar_aids.h"
#include "state/session_state.h"
#include "state/settings_state.h"
#include "state/world_tables.h"

namespace tarnwick {

struct ProgramState {
    SettingsState Settings;
    // Magnetic declination, loaded with the databases and kept for the run.
    // On the heap: it is 130 KB.
    std::unique_ptr<DeclinationGrid> Declination = std::make_unique<DeclinationGrid>();
    WorldTables World;
    ChosenArea Area;
    DisplayOptions Display;
    // The controller's radar aids, from the user's configuration.
    RadarAids Aids;
    SessionState Session;
};

}  // namespace tarnwick
