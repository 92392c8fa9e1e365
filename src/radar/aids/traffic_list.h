#pragma once
// The traffic list's rows: every player of the session but the program
// itself, with its aircraft, altitude, motion, and distance and magnetic
// bearing from the area's centre. The window only shows and sorts them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo/declination_grid.h"
#include "state/chosen_area.h"
#include "state/motion_history.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

struct TrafficRow {
    std::string Name;  // Windows-1252
    // The aircraft info's title and category: "Boeing 737-400 (Jet Plane)".
    std::string Type;
    std::int32_t AltitudeFt = 0;
    std::optional<std::int32_t> GroundSpeedKt;
    std::optional<std::int32_t> VerticalSpeedFpm;
    // Whole nautical miles and whole degrees, as the measuring line gives them.
    std::int16_t DistanceNm = 0;
    std::int16_t BearingMagnetic = 0;
    double Latitude = 0.0;
    double Longitude = 0.0;
    // Why the scope does not show it, for a double-click that cannot centre
    // on it; empty when it does.
    std::string NotShown;
};

// Every player is listed, whatever the view and the altitude filter (the
// traffic's band): those the filter hides, or that have not reported a
// position yet, say so.
std::vector<TrafficRow> TrafficRows(const ScopeTraffic& traffic, const MotionHistory& motion,
                                    const ChosenArea& area, const DeclinationGrid& grid);

}  // namespace tarnwick
