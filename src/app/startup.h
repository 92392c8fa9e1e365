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
    // On a normal start, set when the settings file was shorter than a record.
    std::string SettingsProblem;
};

// Sets WorkFolder (from the folder the program works in) and RebuildPending,
// deletes a partial set of files and, on a normal start, reads the settings.
StartupOutcome StartupDecision(SettingsState& settings, std::string_view workDirectory);

}  // namespace tarnwick
