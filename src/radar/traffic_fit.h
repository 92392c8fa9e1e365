#pragma once
// "Show all traffic": the closest view that holds every aircraft the scope
// shows.
#include <optional>

#include "radar/remembered_view.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

// Closer than this the view would show a lone aircraft and little around it.
inline constexpr std::int16_t kFitClosestLevel = 35;
// The aircraft stay this share of the picture's width and height in from its
// edges, so that their discs and labels are whole.
inline constexpr double kFitMargin = 0.1;

// Centred on the middle of the aircraft the scope shows (the altitude filter
// applied; entries not yet placed by a report left out), at the closest level
// up to kFitClosestLevel that holds them all inside the margin; level 1 when
// none does. Nothing when the scope shows no aircraft.
std::optional<RememberedView> ViewShowingAll(const ScopeTraffic& traffic);

}  // namespace tarnwick
