#pragma once
// Releasing and reading the world and area tables.
#include <cstdint>

#include "app/program_state.h"
#include "scenery/record_table.h"

namespace tarnwick {

// The world tables are released; their counts keep the settings' values.
void ReleaseWorldTables(ProgramState& state);

// How many world entries can be read. Normally the count from the settings; a
// database that was cut short holds fewer entries than its count announces,
// and nothing past what was read is ever touched.
std::int32_t ReadableWorldAirports(const ProgramState& state);
std::int32_t ReadableWorldAirspaces(const ProgramState& state);

}  // namespace tarnwick
