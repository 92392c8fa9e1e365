#pragma once
// The start-up decision: with all three program files present the program
// starts normally; with any missing it discards the others and runs setup.
#include <string>
#include <string_view>

#include "state/settings_state.h"

namespace tarnwick {

enum class StartupPath { FirstRun, NormalStart };

struct StartupOutcome {
    StartupPath Path = StartupPath::FirstRun;
    // Set when the settings file was damaged: the message for the user (UTF-8),
    // naming the file. The start then takes the first-run path.
    std::string SettingsProblem;
};

// Sets WorkFolder (from the folder the program works in) and RebuildPending,
// deletes a partial set of files and, on a normal start, reads the settings.
// A damaged settings file counts as a missing one: the databases beside it
// cannot be read without it, so all three go and setup runs again.
StartupOutcome StartupDecision(SettingsState& settings, std::string_view workDirectory);

}  // namespace tarnwick
