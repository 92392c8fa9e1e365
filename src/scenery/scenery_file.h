#pragma once
// Entry point for one accepted scenery file: decodes its airport and airspace
// sections into the world tables. A damaged file is refused as a whole, so the
// tables never hold half of a file.
#include <cstdint>
#include <string>

#include "app/program_state.h"
#include "scenery/scenery_buffer.h"

namespace tarnwick {

struct SceneryFileOutcome {
    bool Malformed = false;  // the file read outside itself, a chain did not advance, a count too big...
    std::string Reason;      // for the user, e.g. "airport directory at offset 4660 announces 99999 entries"
    std::int32_t AirportsAdded = 0;
    std::int32_t AirspacesAdded = 0;
};

// Appends the file's airports to state.WorldAirports / state.AirportCount and its airspaces to
// state.WorldAirspaces / state.AirspaceCount (growth rule: slots 0..count, last slot empty), using
// *state.Declination for magnetic headings. A malformed file adds nothing: the tables and counts
// return to their state before the file. Never throws for bad file content.
SceneryFileOutcome ParseSceneryFile(const SceneryBuffer& buffer, ProgramState& state);

}  // namespace tarnwick
