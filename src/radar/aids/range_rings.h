#pragma once
// Range rings: circles every R nautical miles around the area's centre, out to
// the farthest corner of the view, dim, under everything else. When rings R
// apart would crowd closer than 40 pixels, every 2nd, 5th, 10th ... ring
// is drawn instead, and each ring drawn says its distance where there is room.
#include <cstdint>

#include "radar/scope_context.h"

namespace tarnwick {

// Rings closer than this on the picture are thinned out: more would be a
// pattern, not a scale.
inline constexpr double kFewestPixelsBetweenRings = 40.0;

void DrawRangeRings(const ScopeContext& scope, std::int32_t spacingNm);

}  // namespace tarnwick
