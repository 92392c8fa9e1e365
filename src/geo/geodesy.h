#pragma once
// Spherical-earth helpers where one nautical mile is one minute of arc. The
// constants and roundings are part of the stored databases and the scope, so
// they are the program's own, not the platform's.
#include <cstdint>

#include "geo/declination_grid.h"

namespace tarnwick::geo {

inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kFeetPerNm = 6080.0;
inline constexpr double kMetresPerNm = 1852.0;
inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kDeclinationUnit = 0.0054931640625;  // 360/65536 degree

struct GeoPoint {
    double Lat = 0.0;
    double Lon = 0.0;
};

double ArcSin(double x);
double ArcCos(double x);
double FloorMod(double a, double m);

// One correction in each direction: 360 stays 360, 721 becomes 361.
std::int16_t NormalizeDegrees(std::int16_t& h);

double AngularDistance(double lat1, double lon1, double lat2, double lon2);
std::int16_t DistanceNm(double lat1, double lon1, double lat2, double lon2);
std::int16_t DistanceFeet(double lat1, double lon1, double lat2, double lon2);

// Initial course from point 1 to point 2, rounded up to whole degrees true and
// turned magnetic with the declination at point 1.
std::int16_t MagneticCourse(const DeclinationGrid& grid, double lat1, double lon1, double lat2, double lon2);

// Whole-degree declination at a position, truncated toward zero; 0 outside the grid.
int DeclinationDegrees(const DeclinationGrid& grid, double lat, double lon);
std::int16_t TrueToMagnetic(const DeclinationGrid& grid, std::int16_t h, double lat, double lon);
std::int16_t MagneticToTrue(const DeclinationGrid& grid, std::int16_t h, double lat, double lon);

// A start point whose trigonometry is worked out once, for the many moves a
// taxi network makes from its airport's reference point. The results are
// exactly those of DestinationMetres, of which each returns one half.
struct DestinationOrigin {
    DestinationOrigin(double lat, double lon);
    double LatitudeAfterMetres(std::int16_t course, double dist) const;
    double LongitudeAfterMetres(std::int16_t course, double dist) const;

    double SinPhi1 = 0.0, CosPhi1 = 0.0, Lam1 = 0.0;
};

GeoPoint DestinationNm(double lat, double lon, std::int16_t course, std::int16_t dist);
GeoPoint DestinationFeet(double lat, double lon, std::int16_t course, std::int16_t dist);
GeoPoint DestinationMetres(double lat, double lon, std::int16_t course, double dist);

}  // namespace tarnwick::geo
