#pragma once
// A world-sized database made up in memory for the benchmarks: airports with
// runways, ILS and frequencies everywhere, a taxi network at one in ten.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "state/records.h"

namespace tarnwick::bench {

inline AirportRecord SyntheticAirport(std::mt19937& random, int index) {
    std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 180), unit(0, 1);
    AirportRecord a;
    a.Name = "Synthetic Field " + std::to_string(index);
    a.IcaoId = "S" + std::to_string(index);
    a.Lat = lat(random);
    a.Lon = lon(random);
    a.ElevationFt = static_cast<std::int32_t>(unit(random) * 5000);
    a.TowerFreq = "118.3";
    a.GroundFreq = "121.9";
    if (index % 3 == 0) a.ApproachFreq = "119.2";
    const int runways = 1 + index % 4;
    for (int r = 0; r < runways; ++r) {
        RunwayEntry& e = a.Runways.Grow(static_cast<std::size_t>(a.RunwayCount++));
        e.PrimaryId = std::to_string(1 + (index + r) % 36) + "L";
        e.SecondaryId = std::to_string(1 + (index + r + 18) % 36) + "R";
        e.CenterLat = a.Lat + 0.001 * r;
        e.CenterLon = a.Lon;
        e.End1Lat = a.Lat - 0.01;
        e.End1Lon = a.Lon;
        e.End2Lat = a.Lat + 0.01;
        e.End2Lon = a.Lon;
        e.LengthFt = 6000 + 1000 * r;
        e.WidthFt = 150;
        if (r == 0) {
            IlsEntry& ils = a.IlsList.Grow(static_cast<std::size_t>(a.IlsCount++));
            ils.IlsId = "I" + a.IcaoId;
            ils.Freq = "110.3";
            ils.Lat = e.End1Lat;
            ils.Lon = e.End1Lon;
        }
    }
    if (index % 10 == 0) {
        const int points = 200;
        a.TaxiPoints.SizeExactly(points);
        a.TaxiPointCount = points;
        a.TaxiSegments.SizeExactly(points - 1);
        a.TaxiSegmentCount = points - 1;
        for (int p = 0; p < points; ++p) {
            a.TaxiPoints[static_cast<std::size_t>(p)] = {1, a.Lat + 0.0001 * p, a.Lon + 0.0001 * (p % 17)};
            if (p > 0)
                a.TaxiSegments[static_cast<std::size_t>(p - 1)] = {0, p - 1, p, "A" + std::to_string(p % 9)};
        }
        a.Parkings.SizeExactly(20);
        a.ParkingCount = 20;
        for (int g = 0; g < 20; ++g) {
            a.Parkings[static_cast<std::size_t>(g)] = {"Gate A " + std::to_string(g + 1), a.Lat, a.Lon, 60};
        }
    }
    return a;
}

// `count` airports followed by the empty last slot.
inline std::vector<AirportRecord> SyntheticAirports(int count, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::vector<AirportRecord> table;
    table.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i) table.push_back(SyntheticAirport(random, i));
    table.emplace_back();
    return table;
}

}  // namespace tarnwick::bench
