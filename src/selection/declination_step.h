#pragma once
// The declination step of the loading: the simulator's magdec.bgl fills the
// grid. Without a readable file the grid stays as it is (all zero on the first
// load, so true and magnetic directions coincide) and the user is told.
#include "selection/database_loading.h"
#include "selection/selection_state.h"

namespace tarnwick {

inline constexpr const char* kStatusReadingDeclination = "Reading Magnetic Devations...";

LoadStepResult LoadDeclinationStep(SelectionState state);

}  // namespace tarnwick
