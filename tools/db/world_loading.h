#pragma once
// Loads what the choice window loads (settings, declination grid, both
// databases) for the commands that answer as the window would.
#include <string>
#include <vector>

#include "state/program_state.h"

namespace tarnwick::tools {

struct WorldLoad {
    // Each problem met on the way, for standard error; the state holds what could be read.
    std::vector<std::string> Problems;
};

WorldLoad LoadWorld(const std::string& workFolderArgument, ProgramState& state, bool withDeclination);

}  // namespace tarnwick::tools
