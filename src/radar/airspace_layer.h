#pragma once
// The airspace layer: a centre disc and the outline of every airspace in view,
// styled by type and by whether it is the controlled sector; the airspace
// under the pointer is drawn last, highlighted.
#include "radar/scope_context.h"

namespace tarnwick {

inline constexpr Rgb kAirspaceCyan{0, 255, 255};
inline constexpr Rgb kSectorPurple{192, 0, 192};
inline constexpr Rgb kHighlightYellow{255, 255, 0};

void DrawAirspaces(const ScopeContext& scope);

}  // namespace tarnwick
