#pragma once
// Gathering the controlled area for the chosen airport or ARTCC/FIR sector:
// the area tables, the chosen-area globals and the two ARTCC display switches.
// The world tables are released once the area is gathered.
#include <string>
#include <string_view>

#include "geo/geodesy.h"
#include "selection/selection_progress.h"
#include "selection/selection_state.h"

namespace tarnwick {

// An airport within this distance of the chosen one belongs to its area.
inline constexpr std::int16_t kAreaRadiusNm = 90;
// The synthetic TRACON airspace: a circle of this radius, this high above the field.
inline constexpr std::int32_t kTraconRadiusNm = 20;
inline constexpr std::int32_t kTraconHeightFt = 10000;

enum class AreaChoiceKind { Airport, Sector };

struct AreaChoice {
    AreaChoiceKind Kind = AreaChoiceKind::Airport;
    std::string Text;  // the exact list text (ANSI): airport list text or sector name
};

enum class GatherOutcome { Gathered, NotFound };

// NotFound (and nothing changed) when no world airport has the list text, or no
// ARTCC/FIR airspace has the sector name. The area is built aside and put in
// place at the end, so an error on the way (an overflow from damaged data)
// leaves the program state as it was.
GatherOutcome GatherArea(SelectionState state, const AreaChoice& choice,
                         SelectionProgress* progress = nullptr);

struct SectorRectangle {
    double North = 0, South = 0, West = 0, East = 0;
};

// The synthetic airspace for an airport with a departure or approach frequency.
AirspaceRecord MakeTraconAirspace(const AirportRecord& airport);

// Halfway along the great circle from the north-west corner toward the
// south-east corner, the way airspace centres are computed.
geo::GeoPoint SectorCenter(const DeclinationGrid& grid, const SectorRectangle& rectangle);

}  // namespace tarnwick
