#include "world_loading.h"

#include "selection/database_loading.h"
#include "selection/world_loading.h"
#include "state/settings.h"
#include "state/work_folder.h"

namespace tarnwick::tools {

WorldLoad LoadWorld(const std::string& workFolderArgument, ProgramState& state, bool withDeclination) {
    WorldLoad load;
    SettingsState& settings = state.Settings;
    settings.WorkFolder = WorkFolderFrom(workFolderArgument);
    const SettingsReadResult read = ReadSettingsFile(WorkFile(settings.WorkFolder, kSettingsFileName));
    if (!read.Problem.empty()) load.Problems.push_back(read.Problem);  // it names the file
    settings.Apply(read.Record);

    SelectionState selection = SelectionOf(state);
    if (withDeclination) {
        const WorldLoadResult loaded = LoadWorldTables(selection);
        if (!loaded.Ok()) load.Problems.push_back(loaded.Warning);
    } else {
        for (const auto step : {LoadAirports, LoadAirspaces}) {
            const LoadStepResult done = step(selection);
            if (!done.Ok) load.Problems.push_back(done.Warning);
        }
    }
    return load;
}

}  // namespace tarnwick::tools
