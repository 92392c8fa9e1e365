#pragma once
// The traffic layer's pieces that the hover information shares.
#include <string>

#include "state/traffic_table.h"

namespace tarnwick {

// How far ahead of an aircraft its heading line reaches on the map.
inline constexpr std::int16_t kHeadingLineFt = 500;

// "N123 Hdg: 90 Alt: 3500"
std::string TrafficLabel(const PlayerRecord& record);

}  // namespace tarnwick
