#pragma once
// The airport layers of the scope. Each draws one airport of the area; the
// redraw pass decides which run at which zoom and under which switch. Entries
// that a count or an index places outside their table are skipped.
#include "radar/scope_context.h"
#include "state/records.h"

namespace tarnwick {

inline constexpr Rgb kAirportDotRed{255, 0, 0};
inline constexpr Rgb kLabelWhite{255, 255, 255};
inline constexpr Rgb kRunwayGreen{0, 192, 0};
inline constexpr Rgb kIlsYellow{255, 255, 0};
inline constexpr Rgb kTaxiwayGrey{192, 192, 192};
inline constexpr Rgb kParkingBrown{128, 64, 64};

void DrawAirportDot(const ScopeContext& scope, const AirportRecord& airport);
void DrawAirportName(const ScopeContext& scope, const AirportRecord& airport);
void DrawRunways(const ScopeContext& scope, const AirportRecord& airport);
void DrawIls(const ScopeContext& scope, const AirportRecord& airport);
void DrawTaxiways(const ScopeContext& scope, const AirportRecord& airport);
void DrawParkings(const ScopeContext& scope, const AirportRecord& airport);

}  // namespace tarnwick
