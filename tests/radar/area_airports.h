#pragma once
// Areas with a few named airports, for the airports list and its window.
#include <vector>

#include "state/chosen_area.h"

namespace tarnwick::testing {

inline AirportRecord Airport(const char* name, const char* icao, double lat, double lon, const char* tower) {
    AirportRecord a;
    a.Name = name;
    a.IcaoId = icao;
    a.Lat = lat;
    a.Lon = lon;
    a.TowerFreq = tower;
    return a;
}

// Gives the area these airports, with the empty last slot the tables keep.
inline void SetAreaAirports(ChosenArea& area, std::vector<AirportRecord> airports) {
    area.AreaAirportCount = static_cast<std::int32_t>(airports.size());
    airports.emplace_back();
    area.AreaAirports = std::move(airports);
}

}  // namespace tarnwick::testing
