#include "world_loading.h"

#include <filesystem>

#include "selection/database_loading.h"
#include "selection/declination_step.h"
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

std::optional<std::string> LoadDeclinationOnly(const std::string& workFolderArgument, ProgramState& state) {
    constexpr const char* kTrueHeadings = "headings are shown true, without magnetic correction";
    SettingsState& settings = state.Settings;
    settings.WorkFolder = WorkFolderFrom(workFolderArgument);
    const std::filesystem::path file = WorkFile(settings.WorkFolder, kSettingsFileName);
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return "no Tarnwick work folder at " +
               std::filesystem::absolute(WorkFolderPath(settings.WorkFolder), error)
                   .lexically_normal()
                   .string() +
               " (no " + kSettingsFileName + " there): " + kTrueHeadings + "; --work names the work folder";
    const SettingsReadResult read = ReadSettingsFile(file);
    if (!read.Problem.empty()) return read.Problem + ": " + kTrueHeadings;
    settings.Apply(read.Record);
    const LoadStepResult loaded = LoadDeclinationStep(SelectionOf(state));
    if (!loaded.Ok) return loaded.Warning;
    return std::nullopt;
}

}  // namespace tarnwick::tools
