#include "geo/local_offset.h"

#include <cmath>

namespace tarnwick::geo {
namespace {

constexpr double kNmPerDegree = 60.0;
constexpr double kRadiansPerDegree = kPi / 180.0;

double EastNmPerDegree(double lat) { return kNmPerDegree * std::cos(lat * kRadiansPerDegree); }

}  // namespace

OffsetNm OffsetBetween(double lat1, double lon1, double lat2, double lon2) {
    const double dLon = std::remainder(lon2 - lon1, 360.0);
    return {dLon * EastNmPerDegree((lat1 + lat2) / 2.0), (lat2 - lat1) * kNmPerDegree};
}

GeoPoint MovedBy(double lat, double lon, OffsetNm offset) {
    const double newLat = lat + offset.North / kNmPerDegree;
    const double perDegree = EastNmPerDegree((lat + newLat) / 2.0);
    return {newLat, lon + (perDegree > 0.0 ? offset.East / perDegree : 0.0)};
}

OffsetNm AlongCourse(double courseDegrees, double distanceNm) {
    const double c = courseDegrees * kRadiansPerDegree;
    return {distanceNm * std::sin(c), distanceNm * std::cos(c)};
}

double LengthNm(OffsetNm offset) { return std::hypot(offset.East, offset.North); }

double CourseDegrees(OffsetNm offset) {
    double course = std::atan2(offset.East, offset.North) / kRadiansPerDegree;
    if (course < 0.0) course += 360.0;
    // A hair west of north rounds up to 360, which is north.
    return course >= 360.0 ? 0.0 : course;
}

}  // namespace tarnwick::geo
