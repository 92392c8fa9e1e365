#pragma once
// Scenery parsed straight into a program state's world tables, the way the
// tests look at what a file adds.
#include "scenery/scenery_file.h"
#include "state/program_state.h"

namespace tarnwick::testing {

inline SceneryFileOutcome ParseIntoWorld(const SceneryBuffer& buffer, ProgramState& state) {
    WorldTablesSink sink(state.World, state.Settings.AirportCount, state.Settings.AirspaceCount);
    return ParseSceneryFile(buffer, *state.Declination, sink);
}

}  // namespace tarnwick::testing
