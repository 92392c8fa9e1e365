#include "app/startup.h"

#include <array>
#include <optional>

#include "base/file_system.h"
#include "scenery/database_file.h"
#include "state/work_folder.h"

namespace tarnwick {

StartupOutcome StartupDecision(SettingsState& settings, std::string_view workDirectory) {
    settings.WorkFolder = WorkFolderFrom(workDirectory);
    const std::filesystem::path folder = WorkFolderPath(settings.WorkFolder);

    const std::array<const char*, 3> names = {kSettingsFileName, kAirportsFileName, kAirspacesFileName};
    std::array<std::optional<std::filesystem::path>, 3> found;
    bool anyMissing = false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        found[i] = FindEntryNoCase(folder, names[i]);
        if (found[i] && std::filesystem::is_directory(*found[i])) found[i].reset();
        anyMissing = anyMissing || !found[i];
    }

    StartupOutcome outcome;
    if (!anyMissing) {
        std::string problem;
        SettingsReadResult read;
        try {
            read = DecodeSettings(ReadWholeFile(*found[0]));
            problem = read.Problem;
        } catch (const FileError& error) {
            problem = error.what();
        }
        if (problem.empty()) {
            settings.RebuildPending = false;
            settings.Apply(read.Record);
            outcome.Path = StartupPath::NormalStart;
            return outcome;
        }
        outcome.SettingsProblem = "The settings file " + found[0]->string() + " is damaged (" + problem +
                                  "), so the database files beside it cannot be used either. Tarnwick "
                                  "deletes them: choose the FS2002 folder again and new database files "
                                  "will be built.";
    }

    for (const auto& file : found) {
        std::error_code ignored;  // a file that will not go is left in place
        if (file) std::filesystem::remove(*file, ignored);
    }
    settings.RebuildPending = true;
    outcome.Path = StartupPath::FirstRun;
    return outcome;
}

}  // namespace tarnwick
