#pragma once
// The redraw pass: the background layers in a fixed order by zoom band, then
// the traffic on top.
//   1-4    airport dots
//   5-24   airspaces, airport dots
//   25-29  airspaces, names
//   30-34  airspaces, names, runways, ILS
//   35-55  parkings, taxiways, runways, ILS, names
#include "radar/scope_context.h"

namespace tarnwick {

inline constexpr std::int16_t kAirspacesFromLevel = 5;
inline constexpr std::int16_t kAirspacesToLevel = 34;
inline constexpr std::int16_t kNamesFromLevel = 25;
inline constexpr std::int16_t kRunwaysFromLevel = 30;
inline constexpr std::int16_t kGroundFromLevel = 35;

void RedrawScope(const ScopeContext& scope);

// The aircraft in view, on top of the background: a disc, a line 500 ft
// ahead on the heading, and a label with name, heading and altitude.
void DrawTraffic(const ScopeContext& scope);

// The whole picture over what is on it: background layers, then traffic. The
// range rings, when chosen, go under everything and leave the drawing state
// as they found it.
void RedrawScopeAndTraffic(const ScopeContext& scope);

}  // namespace tarnwick
