#pragma once
// The two places that write the settings file: setup, and the database builder
// once the databases are written.
#include <string>

#include "state/settings_state.h"

namespace tarnwick {

// Fills the record and its copies from the setup window and writes the file.
// `fsFolder` is ANSI text, stored exactly as given. Throws FileError.
void WriteSetupSettings(SettingsState& settings, const std::string& fsFolder, bool simulatorSelected);

// Copies the two counts into the record and writes it again. Throws FileError.
void WriteBuilderSettings(SettingsState& settings);

}  // namespace tarnwick
