#pragma once
// Flat-earth helpers for laying things out around a point, where a flat
// approximation is good enough: the demo's traffic, the synthetic scenery and
// (through local_offset.h, in nautical miles) the motion of aircraft on the
// scope. They use the exact pi the demo's and the scenery's outputs were made
// with; what the databases store and the scope's map draws keeps the
// program's own constants of geodesy.h.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "geo/geodesy.h"

namespace tarnwick::geo {

constexpr double DegreesToRadians(double degrees) { return degrees * std::numbers::pi / 180.0; }
constexpr double RadiansToDegrees(double radians) { return radians * 180.0 / std::numbers::pi; }

// One minute of latitude is one nautical mile.
inline constexpr double kMetresPerDegreeLat = 60.0 * kMetresPerNm;

// Near the poles held at 1 % of the equator's, so that nothing divides by 0.
inline double MetresPerDegreeLon(double lat) {
    return kMetresPerDegreeLat * std::max(std::cos(DegreesToRadians(lat)), 0.01);
}

struct PlaneOffset {
    double East = 0.0;
    double North = 0.0;
};

// `distance` (in any unit) towards a compass bearing.
inline PlaneOffset OffsetToward(double bearingDeg, double distance) {
    const double b = DegreesToRadians(bearingDeg);
    return {distance * std::sin(b), distance * std::cos(b)};
}

// The compass bearing, 0 up to 360, of an offset east and north.
inline double BearingOfOffset(double east, double north) {
    const double degrees = RadiansToDegrees(std::atan2(east, north));
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

}  // namespace tarnwick::geo
