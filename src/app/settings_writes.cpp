#include "app/settings_writes.h"

#include "app/work_folder.h"

namespace tarnwick {

void WriteSetupSettings(ProgramState& state, const std::string& fsFolder, bool simulatorSelected) {
    state.Settings.ProgramTitle = kProgramTitle;
    state.Settings.SetupDone = 1;
    if (simulatorSelected) {
        state.Settings.FsVersion = 1;
        state.FsVersion = 1;
    }
    state.Settings.FsFolder = fsFolder;
    state.FsFolder = fsFolder;
    WriteSettingsFile(WorkFile(state.WorkFolder, kSettingsFileName), state.Settings);
}

void WriteBuilderSettings(ProgramState& state) {
    state.Settings.AirportCount = state.AirportCount;
    state.Settings.AirspaceCount = state.AirspaceCount;
    WriteSettingsFile(WorkFile(state.WorkFolder, kSettingsFileName), state.Settings);
}

}  // namespace tarnwick
