#pragma once
// Entry point for one accepted scenery file: decodes its airport and airspace
// sections and hands the records to a sink. A damaged file is refused as a
// whole, so a sink never holds half of a file.
#include <cstdint>
#include <string>

#include "geo/declination_grid.h"
#include "scenery/scenery_buffer.h"
#include "scenery/scenery_sink.h"

namespace tarnwick {

struct SceneryFileOutcome {
    bool Malformed = false;  // the file read outside itself, a chain did not advance, a count too big...
    std::string Reason;      // for the user, e.g. "airport directory at offset 4660 announces 99999 entries"
    std::int32_t AirportsAdded = 0;
    std::int32_t AirspacesAdded = 0;
};

// Decodes the file (magnetic headings from `grid`) and, when it is sound,
// gives its airports and airspaces to `sink` in file order. A malformed file
// gives the sink nothing. Never throws for bad file content; what the sink
// throws passes through.
SceneryFileOutcome ParseSceneryFile(const SceneryBuffer& buffer, const DeclinationGrid& grid,
                                    ScenerySink& sink);

}  // namespace tarnwick
