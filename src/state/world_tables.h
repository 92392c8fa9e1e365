#pragma once
// The world tables, loaded from the databases for the choice and released
// once an area is gathered. Slots 0..count, the last one empty; the counts are
// the settings' AirportCount and AirspaceCount.
#include <vector>

#include "state/records.h"

namespace tarnwick {

struct WorldTables {
    std::vector<AirportRecord> WorldAirports = std::vector<AirportRecord>(1);
    std::vector<AirspaceRecord> WorldAirspaces = std::vector<AirspaceRecord>(1);
};

}  // namespace tarnwick
