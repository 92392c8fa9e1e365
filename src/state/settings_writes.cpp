#include "state/settings_writes.h"

#include "state/work_folder.h"

namespace tarnwick {

void WriteSetupSettings(SettingsState& settings, const std::string& fsFolder, bool simulatorSelected) {
    settings.Record.ProgramTitle = kSettingsFileTitle;
    settings.Record.SetupDone = 1;
    if (simulatorSelected) {
        settings.Record.FsVersion = 1;
        settings.FsVersion = 1;
    }
    settings.Record.FsFolder = fsFolder;
    settings.FsFolder = fsFolder;
    WriteSettingsFile(WorkFile(settings.WorkFolder, kSettingsFileName), settings.Record);
}

void WriteBuilderSettings(SettingsState& settings) {
    settings.Record.AirportCount = settings.AirportCount;
    settings.Record.AirspaceCount = settings.AirspaceCount;
    WriteSettingsFile(WorkFile(settings.WorkFolder, kSettingsFileName), settings.Record);
}

}  // namespace tarnwick
