#pragma once
// Releasing and reading the world and area tables.
#include <cstdint>

#include "selection/selection_state.h"
#include "state/record_table.h"

namespace tarnwick {

// The world tables are released; their counts keep the settings' values.
void ReleaseWorldTables(SelectionState state);

// How many world entries can be read. Normally the count from the settings; a
// database that was cut short holds fewer entries than its count announces,
// and nothing past what was read is ever touched.
std::int32_t ReadableWorldAirports(SelectionState state);
std::int32_t ReadableWorldAirspaces(SelectionState state);

}  // namespace tarnwick
