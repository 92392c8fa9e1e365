#pragma once
// The loading the choice window runs once it opens, and the tools run the same
// way: the declination grid, then both databases into the world tables.
#include <string>

#include "selection/selection_progress.h"
#include "selection/selection_state.h"

namespace tarnwick {

struct WorldLoadResult {
    // Every problem met, as one message for the user (UTF-8); empty when all went well.
    std::string Warning;
    bool Ok() const { return Warning.empty(); }
};

// Three steps, each announced by its status text and followed by an advance.
// A missing or damaged file never stops the loading: the tables keep what
// could be read.
// The warning ends with one hint on how to get new database files (RebuildHint).
WorldLoadResult LoadWorldTables(SelectionState state, SelectionProgress* progress = nullptr);

// Which files to delete from the work folder so that the next start sets the
// simulator folder again and builds new databases.
std::string RebuildHint(const std::string& workFolder);

}  // namespace tarnwick
