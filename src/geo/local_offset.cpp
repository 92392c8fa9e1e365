#include "geo/local_offset.h"

#include <cmath>

#include "geo/local_plane.h"

namespace tarnwick::geo {
namespace {

constexpr double kNmPerDegree = 60.0;

}  // namespace

double EastNmPerDegree(double lat) { return MetresPerDegreeLon(lat) / kMetresPerNm; }

OffsetNm OffsetBetween(double lat1, double lon1, double lat2, double lon2) {
    const double dLon = std::remainder(lon2 - lon1, 360.0);
    return {dLon * EastNmPerDegree((lat1 + lat2) / 2.0), (lat2 - lat1) * kNmPerDegree};
}

GeoPoint MovedBy(double lat, double lon, OffsetNm offset) {
    const double newLat = lat + offset.North / kNmPerDegree;
    return {newLat, lon + offset.East / EastNmPerDegree((lat + newLat) / 2.0)};
}

OffsetNm AlongCourse(double courseDegrees, double distanceNm) {
    const PlaneOffset along = OffsetToward(courseDegrees, distanceNm);
    return {along.East, along.North};
}

double LengthNm(OffsetNm offset) { return std::hypot(offset.East, offset.North); }

double CourseDegrees(OffsetNm offset) {
    const double course = BearingOfOffset(offset.East, offset.North);
    // A hair west of north rounds up to 360, which is north.
    return course >= 360.0 ? 0.0 : course;
}

}  // namespace tarnwick::geo
