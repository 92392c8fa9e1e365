#pragma once
// The two places that write the settings file: setup, and the database builder
// once the databases are written.
#include <string>

#include "app/program_state.h"

namespace tarnwick {

// Fills the record and its globals from the setup window and writes the file.
// `fsFolder` is ANSI text, stored exactly as given. Throws FileError.
void WriteSetupSettings(ProgramState& state, const std::string& fsFolder, bool simulatorSelected);

// Copies the two count globals into the record and writes it again. Throws FileError.
void WriteBuilderSettings(ProgramState& state);

}  // namespace tarnwick
