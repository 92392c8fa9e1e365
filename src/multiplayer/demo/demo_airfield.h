#pragma once
// The demo's centre airport reduced to what its pilots use: one runway in one
// direction of use, on a flat local plane around the demo's centre, and the
// routes flown to, from and around it. No dice here: the traffic simulator
// draws them and hands in what it drew, so that these rules can be checked on
// their own.
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/demo/simulated_flight.h"

namespace tarnwick {

struct SimulatedRunway {
    double Lat1 = 0.0, Lon1 = 0.0;
    double Lat2 = 0.0, Lon2 = 0.0;
    std::int32_t ElevationFt = 0;
    // The designators of the ends ("16L" at end 1, "34R" at end 2), as the
    // pilots say them; empty when unknown.
    std::string Id1, Id2;
};

// Metres east and north of a centre, and back to latitude and longitude.
struct DemoPlane {
    double CenterLat = 0.0;
    double CenterLon = 0.0;

    LocalPoint ToLocal(double lat, double lon) const;
    double LatitudeOf(LocalPoint p) const;
    // -180 up to 180.
    double LongitudeOf(LocalPoint p) const;
};

LocalPoint Toward(LocalPoint from, double bearingDeg, double metres);

struct ActiveRunway {
    LocalPoint Threshold;
    double HeadingDeg = 0.0;  // true, from the threshold along the runway
    double LengthM = 0.0;
    double ElevationFt = 0.0;
    std::string Designator;

    // `along` metres down the runway from the threshold and `right` metres
    // to the right of its centreline.
    LocalPoint At(double along, double right) const;
};

// The longest of `runways` (longer than 300 m), used from end 2 toward end 1
// when `reverse`; none when no runway is long enough.
std::optional<ActiveRunway> LongestRunwayInUse(const DemoPlane& plane,
                                               const std::vector<SimulatedRunway>& runways, bool reverse);
// A 2,500 m runway laid out across the centre, for an airport without runways.
ActiveRunway LaidOutRunway(double headingDeg, double elevationFt);

// An ILS arrival from `from`: joins the final approach from its own side,
// touches down at the threshold and rolls out.
std::vector<Waypoint> ArrivalRoute(const ActiveRunway& runway, const AircraftPerformance& perf,
                                   LocalPoint from);
// From the threshold, climbing out along the runway and then away on
// `outboundDeg` at `cruiseFt`, 45 nm out.
std::vector<Waypoint> DepartureRoute(const ActiveRunway& runway, const AircraftPerformance& perf,
                                     double outboundDeg, double cruiseFt);
// A left-hand circuit at 1,000 ft above the field, ending in a touchdown.
std::vector<Waypoint> PatternRoute(const ActiveRunway& runway, const AircraftPerformance& perf);
// Taxiing onto the runway's threshold.
std::vector<Waypoint> LineUpRoute(const ActiveRunway& runway);
// After a last landing, down the runway to a stop.
std::vector<Waypoint> RollOutRoute(const ActiveRunway& runway);

}  // namespace tarnwick
