#pragma once
// Writes a magnetic declination file in the layout the program reads.
#include <cstdint>
#include <vector>

#include "geo/declination_grid.h"

namespace tarnwick {

// A declination file holding `grid`.
std::vector<std::uint8_t> MagdecFileBytes(const DeclinationGrid& grid);

}  // namespace tarnwick
