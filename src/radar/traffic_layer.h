#pragma once
// The traffic layer's pieces that the hover information shares.
#include <string>

#include "radar/scope_context.h"
#include "state/traffic_table.h"

namespace tarnwick {

// How far ahead of an aircraft its heading line reaches on the map.
inline constexpr std::int16_t kHeadingLineFt = 500;
inline constexpr std::int32_t kAircraftDiscRadiusPx = 5;

// "N123 Hdg: 90 Alt: 3500"
std::string TrafficLabel(const PlayerRecord& record);

struct AircraftSymbol {
    ScreenPoint Position;
    ScreenPoint LineEnd;  // the heading line's far end
};

// Everything is worked out before anything is drawn, so a record whose
// heading does not fit a whole-degree number (damaged, not from a simulator)
// is left out whole instead of drawn by halves: OverflowError.
AircraftSymbol SymbolOf(const ScopeContext& scope, const PlayerRecord& record);

}  // namespace tarnwick
