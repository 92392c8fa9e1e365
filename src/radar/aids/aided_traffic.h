#pragma once
// The traffic pass with the aids that change it (history, vectors, data
// blocks, label placement, conflict alert): history dots under everything,
// then the red lines between aircraft in conflict, then each aircraft's disc,
// heading line and speed vector, and the labels last, with their leader lines,
// the label of the aircraft under the pointer on top.
#include "radar/scope_context.h"

namespace tarnwick {

inline constexpr std::int32_t kHistoryDotRadiusPx = 2;
// The newest dot is as bright as the aircraft, the oldest this faint.
inline constexpr std::uint8_t kOldestDotGreen = 56;

// Needs scope.Aids.
void DrawAidedTraffic(const ScopeContext& scope);

}  // namespace tarnwick
