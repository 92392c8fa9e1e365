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
    if (anyMissing) {
        for (const auto& file : found) {
            std::error_code ignored;  // a file that will not go is left in place
            if (file) std::filesystem::remove(*file, ignored);
        }
        settings.RebuildPending = true;
        outcome.Path = StartupPath::FirstRun;
        return outcome;
    }

    settings.RebuildPending = false;
    outcome.Path = StartupPath::NormalStart;
    try {
        const SettingsReadResult read = ReadSettingsFile(*found[0]);
        settings.Apply(read.Record);
        outcome.SettingsProblem = read.Problem;
    } catch (const FileError& error) {
        // Unreadable as a whole: carry on with empty values, as a short file would.
        settings.Apply(SettingsRecord{});
        outcome.SettingsProblem = error.what();
    }
    return outcome;
}

}  // namespace tarnwick
