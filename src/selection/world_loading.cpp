#include "selection/world_loading.h"

#include "selection/database_loading.h"
#include "selection/declination_step.h"

namespace tarnwick {

WorldLoadResult LoadWorldTables(SelectionState state, SelectionProgress* progress) {
    WorldLoadResult result;
    const auto step = [&](const char* status, LoadStepResult (*load)(SelectionState)) {
        if (progress) progress->Status(status);
        const LoadStepResult done = load(state);
        if (progress) progress->Advanced();
        if (done.Ok) return;
        if (!result.Warning.empty()) result.Warning += "\n\n";
        result.Warning += done.Warning;
    };
    step(kStatusReadingDeclination, LoadDeclinationStep);
    step(kStatusReadingAirports, LoadAirports);
    step(kStatusReadingAirspaces, LoadAirspaces);
    return result;
}

}  // namespace tarnwick
