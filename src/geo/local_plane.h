#pragma once
// Flat-earth helpers for laying things out around a point, where a flat
// approximation is good enough: the demo's traffic and the synthetic scenery,
// in metres and with the exact pi their outputs were made with. What the
// databases store and the scope draws keeps the program's own constants:
// geodesy.h, and local_offset.h for the motion of aircraft on the scope.
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

// `metres` towards a compass bearing.
inline PlaneOffset OffsetToward(double bearingDeg, double metres) {
    const double b = DegreesToRadians(bearingDeg);
    return {metres * std::sin(b), metres * std::cos(b)};
}

// The compass bearing, 0 up to 360, of an offset east and north.
inline double BearingOfOffset(double east, double north) {
    const double degrees = RadiansToDegrees(std::atan2(east, north));
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

}  // namespace tarnwick::geo
