#pragma once
// The airport directory of a scenery file and the airport records it points to.
#include <cstdint>

#include "scenery/scenery_parse.h"

namespace tarnwick {

// Where a directory chain ended: at the first block that is not a directory
// block, or at the end of the file.
struct DirectoryEnd {
    BlockHeader Next;  // the first block after the chain, unless the file ended
    bool ReachedFileEnd = false;
};

// Walks a chain of directory blocks from `first`, appending each airport whose
// entry passes the checks to the world table and filling it with ParseAirport.
DirectoryEnd ParseAirportDirectory(SceneryParse& parse, const BlockHeader& first);

// Fills `airport` from the airport record at `recordOffset`.
void ParseAirport(SceneryParse& parse, std::int64_t recordOffset, AirportRecord& airport);

}  // namespace tarnwick
