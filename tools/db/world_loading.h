#pragma once
// Loads what the choice window loads (settings, declination grid, both
// databases) for the commands that answer as the window would.
#include <optional>
#include <string>
#include <vector>

#include "state/program_state.h"

namespace tarnwick::tools {

struct WorldLoad {
    // Each problem met on the way, for standard error; the state holds what could be read.
    std::vector<std::string> Problems;
};

WorldLoad LoadWorld(const std::string& workFolderArgument, ProgramState& state, bool withDeclination);

// The settings and the declination grid alone, for a session that needs no
// area and shows headings magnetic where it can. Nothing when both loaded;
// otherwise the one note to give (UTF-8): headings stay true.
std::optional<std::string> LoadDeclinationOnly(const std::string& workFolderArgument, ProgramState& state);

}  // namespace tarnwick::tools
