#pragma once
// The airport or sector being controlled: its tables, gathered from the world
// tables, and the globals that name and centre it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "state/records.h"

namespace tarnwick {

// The two kinds of area the user can choose to control (AreaKind).
inline constexpr const char* kAreaKindAirport = "Airport";
inline constexpr const char* kAreaKindSector = "ARTCC/FIR sector";

struct ChosenArea {
    // Same slot rule as the world tables.
    std::vector<AirportRecord> AreaAirports = std::vector<AirportRecord>(1);
    std::int32_t AreaAirportCount = 0;
    std::vector<AirspaceRecord> AreaAirspaces = std::vector<AirspaceRecord>(1);
    std::int32_t AreaAirspaceCount = 0;

    std::string AreaTitle;  // ANSI
    std::string AreaKind;
    double AreaCenterLat = 0.0;
    double AreaCenterLon = 0.0;

    // The airports and airspaces the counts name that the tables really hold.
    std::span<const AirportRecord> FilledAirports() const {
        return FilledPart(AreaAirports, AreaAirportCount);
    }
    std::span<const AirspaceRecord> FilledAirspaces() const {
        return FilledPart(AreaAirspaces, AreaAirspaceCount);
    }
};

}  // namespace tarnwick
