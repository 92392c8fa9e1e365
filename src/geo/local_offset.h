#pragma once
// Short moves on a flat plane laid on the earth at a position (local_plane.h,
// in nautical miles), for the motion of aircraft over seconds and minutes:
// within a fraction of a per cent up to 50 nm, away from the poles. The
// program's stored and displayed geometry keeps the spherical helpers of
// geodesy.h with their roundings.
#include "geo/geodesy.h"

namespace tarnwick::geo {

// Nautical miles east and north.
struct OffsetNm {
    double East = 0.0;
    double North = 0.0;
};

// From the first position to the second, across the date line the short way.
OffsetNm OffsetBetween(double lat1, double lon1, double lat2, double lon2);
// The position `offset` away from (lat, lon).
GeoPoint MovedBy(double lat, double lon, OffsetNm offset);
// `distanceNm` along a true course in degrees.
OffsetNm AlongCourse(double courseDegrees, double distanceNm);

double LengthNm(OffsetNm offset);
// Nautical miles per degree of longitude at a latitude.
double EastNmPerDegree(double lat);
// The true course of an offset, 0 up to (not including) 360 degrees.
double CourseDegrees(OffsetNm offset);

}  // namespace tarnwick::geo
