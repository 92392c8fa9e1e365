#include "selection/world_loading.h"

#include "scenery/database_file.h"
#include "selection/database_loading.h"
#include "selection/declination_step.h"
#include "state/settings.h"
#include "state/work_folder.h"

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
    if (!result.Ok()) result.Warning += "\n\n" + RebuildHint(state.Settings.WorkFolder);
    return result;
}

// The radar window has no command for new database files yet; what works is
// taking one of the three files away, which sends the next start through
// setup and a full build.
std::string RebuildHint(const std::string& workFolder) {
    return std::string(
               "To set the FS2002 folder again and build new database files, close Tarnwick, delete ") +
           kSettingsFileName + ", " + kAirportsFileName + " and " + kAirspacesFileName + " from " +
           WorkFolderPath(workFolder).string() + " and start Tarnwick again.";
}

}  // namespace tarnwick
