#include "world_loading.h"

#include <filesystem>

#include "app/settings.h"
#include "app/work_folder.h"
#include "selection/database_loading.h"
#include "selection/declination_step.h"

namespace tarnwick::tools {

WorldLoad LoadWorld(const std::string& workFolderArgument, ProgramState& state, bool withDeclination) {
    WorldLoad load;
    state.WorkFolder = WorkFolderFrom(workFolderArgument);
    const SettingsReadResult settings = ReadSettingsFile(WorkFile(state.WorkFolder, kSettingsFileName));
    if (!settings.Problem.empty())
        load.Problems.push_back(kSettingsFileName + std::string(": ") + settings.Problem);
    state.ApplySettings(settings.Record);

    auto note = [&](const LoadStepResult& step) {
        if (!step.Ok) load.Problems.push_back(step.Warning);
    };
    if (withDeclination) {
        // The program runs in its work folder, so a relative simulator folder is
        // found from there, whatever folder this command runs in.
        const std::string fsFolder = state.FsFolder;
        if (std::filesystem::path(fsFolder).is_relative()) {
            state.FsFolder = (std::filesystem::path(state.WorkFolder) / fsFolder).string();
        }
        note(LoadDeclinationStep(state));
        state.FsFolder = fsFolder;
    }
    note(LoadAirports(state));
    note(LoadAirspaces(state));
    return load;
}

}  // namespace tarnwick::tools
