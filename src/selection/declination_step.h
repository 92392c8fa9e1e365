#pragma once
// The declination step of the loading: the simulator's magdec.bgl fills the
// grid. Without a readable file the grid stays as it is (all zero on the first
// load, so true and magnetic directions coincide) and the user is told.
#include "app/program_state.h"
#include "selection/database_loading.h"

namespace tarnwick {

inline constexpr const char* kStatusReadingDeclination = "Reading Magnetic Devations...";

LoadStepResult LoadDeclinationStep(ProgramState& state);

}  // namespace tarnwick
