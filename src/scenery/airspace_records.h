#pragma once
// The airspace section of a scenery file: groups of airspace records, of which
// the class B areas and the upper and lower control sectors are kept.
#include <cstdint>

#include "scenery/scenery_parse.h"

namespace tarnwick {

// Walks the section's chain from `first`; directory chains met on the way are
// handed to the airport reader and the walk resumes after them.
void ParseAirspaceSection(SceneryParse& parse, const BlockHeader& first);

// Walks one group of airspace records from `first`.
void ParseAirspaceGroup(SceneryParse& parse, const BlockHeader& first);

// Builds the airspace record at `recordOffset` and appends it to the world
// table when its class is one the radar shows.
void ParseAirspace(SceneryParse& parse, std::int64_t recordOffset);

}  // namespace tarnwick
