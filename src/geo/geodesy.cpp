#include "geo/geodesy.h"

#include <cmath>

#include "base/rounding.h"

namespace tarnwick::geo {

namespace {
double Radians(double degrees) { return degrees * kPi / 180.0; }
double Degrees(double radians) { return radians * 180.0 / kPi; }

struct Radial {
    double phi1, lam1, phi2, lam2;
};

Radial ToRadians(double lat1, double lon1, double lat2, double lon2) {
    return {Radians(lat1), Radians(lon1), Radians(lat2), Radians(lon2)};
}

double AngularDistanceOf(const Radial& r) {
    if (std::trunc(r.phi1 - r.phi2) == 0.0 && std::trunc(r.lam2 - r.lam1) == 0.0) {
        const double a = std::sin((r.phi1 - r.phi2) / 2.0);
        const double b = std::sin((r.lam1 - r.lam2) / 2.0);
        return 2.0 * ArcSin(std::sqrt(a * a + std::cos(r.phi1) * std::cos(r.phi2) * b * b));
    }
    return ArcCos(std::sin(r.phi1) * std::sin(r.phi2) +
                  std::cos(r.phi1) * std::cos(r.phi2) * std::cos(r.lam1 - r.lam2));
}

// Latitude (radians) reached from the origin on a course with cosine cosTc.
double MovedPhi(const DestinationOrigin& o, double cosTc, double angular) {
    return ArcSin(o.SinPhi1 * std::cos(angular) + o.CosPhi1 * std::sin(angular) * cosTc);
}

// West-positive longitude (radians) reached, given the latitude reached.
double MovedLambda(const DestinationOrigin& o, double sinTc, double angular, double phi) {
    double lam = o.Lam1;
    if (std::cos(phi) != 0.0) {
        const double dlam = ArcSin(sinTc * std::sin(angular) / std::cos(phi));
        lam = FloorMod(o.Lam1 - dlam + kPi, kTwoPi) - kPi;
    }
    return lam;
}

// Shared by the destination helpers, which differ only in distance unit and
// in the number of decimals kept.
GeoPoint Destination(const DestinationOrigin& origin, std::int16_t course, double angular, int decimals) {
    const double tc = Radians(course);
    const double sinTc = std::sin(tc);
    const double phi = MovedPhi(origin, std::cos(tc), angular);
    const double lam = MovedLambda(origin, sinTc, angular, phi);
    return {RoundDecimals(Degrees(phi), decimals), RoundDecimals(-lam * 180.0 / kPi, decimals)};
}

double MetresToAngle(double dist) { return (std::fabs(dist) / kMetresPerNm) * kPi / 10800.0; }

std::int16_t ApplyDeclination(std::int16_t h, int declination) {
    std::int16_t r = CheckedI16(static_cast<std::int64_t>(h) + declination);
    return NormalizeDegrees(r);
}
}  // namespace

double ArcSin(double x) {
    if (x < -1.0 || x > 1.0) return 0.0;
    return 2.0 * std::atan(x / (1.0 + std::sqrt(1.0 - x * x)));
}

double ArcCos(double x) {
    if (x < -1.0 || x > 1.0) return 0.0;
    if (x >= 0.0) return 2.0 * std::atan(std::sqrt((1.0 - x) / (1.0 + x)));
    return kPi - 2.0 * std::atan(std::sqrt((1.0 + x) / (1.0 - x)));
}

double FloorMod(double a, double m) {
    double r = a - m * std::floor(a / m);
    if (r < 0.0) r += m;
    return r;
}

std::int16_t NormalizeDegrees(std::int16_t& h) {
    if (h > 360) h = static_cast<std::int16_t>(h - 360);
    if (h < 0) h = static_cast<std::int16_t>(h + 360);
    return h;
}

double AngularDistance(double lat1, double lon1, double lat2, double lon2) {
    return AngularDistanceOf(ToRadians(lat1, lon1, lat2, lon2));
}

std::int16_t DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    double n = AngularDistance(lat1, lon1, lat2, lon2) * 10800.0 / kPi;
    if (n > 32767.0) n = 32767.0;
    return ToI16(n);
}

std::int16_t DistanceFeet(double lat1, double lon1, double lat2, double lon2) {
    const double n = RoundDecimals(AngularDistance(lat1, lon1, lat2, lon2) * 10800.0 / kPi, 5);
    double f = RoundDecimals(n * kFeetPerNm, 5);
    if (f > 32767.0) f = 32767.0;
    return ToI16(f);
}

std::int16_t MagneticCourse(const DeclinationGrid& grid, double lat1, double lon1, double lat2, double lon2) {
    const Radial r = ToRadians(lat1, lon1, lat2, lon2);
    const double d = AngularDistanceOf(r);
    double t = 0.0;
    if (d != 0.0) {
        double x = (std::sin(r.phi2) - std::sin(r.phi1) * std::cos(d)) / (std::cos(r.phi1) * std::sin(d));
        // For a point straight north or south, rounding can push the cosine a
        // hair past +-1, where ArcCos answers 0 and due south would read north.
        if (std::fabs(x) > 1.0 && std::fabs(x) < 1.0 + 1e-9) x = x > 0 ? 1.0 : -1.0;
        double c = ArcCos(x);
        // A start exactly on a pole leaves no course to speak of; call it north.
        if (!std::isfinite(c)) c = 0.0;
        t = std::sin(r.lam2 - r.lam1) >= 0.0 ? kTwoPi - c : c;
    }
    std::int16_t k = CheckedI16(360 - static_cast<std::int64_t>(std::floor(t * 180.0 / kPi)));
    NormalizeDegrees(k);
    return TrueToMagnetic(grid, k, lat1, lon1);
}

int DeclinationDegrees(const DeclinationGrid& grid, double lat, double lon) {
    const double a = RoundHalfEven(lat);
    double b = RoundHalfEven(lon);
    if (b < 0.0) b += 360.0;
    const double index = b * DeclinationGrid::kLatitudes + (a + 90.0);
    // Positions off the grid (bad input, not real places) get no correction.
    if (!(index >= 0.0 && index <= DeclinationGrid::kCellCount)) return 0;
    const double raw = grid.Cells[static_cast<std::size_t>(index)] * kDeclinationUnit;
    return static_cast<int>(std::trunc(raw));
}

std::int16_t TrueToMagnetic(const DeclinationGrid& grid, std::int16_t h, double lat, double lon) {
    return ApplyDeclination(h, -DeclinationDegrees(grid, lat, lon));
}

std::int16_t MagneticToTrue(const DeclinationGrid& grid, std::int16_t h, double lat, double lon) {
    return ApplyDeclination(h, DeclinationDegrees(grid, lat, lon));
}

DestinationOrigin::DestinationOrigin(double lat, double lon) {
    const double phi1 = Radians(lat);
    SinPhi1 = std::sin(phi1);
    CosPhi1 = std::cos(phi1);
    Lam1 = -lon * kPi / 180.0;
}

GeoPoint DestinationNm(double lat, double lon, std::int16_t course, std::int16_t dist) {
    const double distance = dist < 0 ? 0.0 : dist;
    return Destination(DestinationOrigin(lat, lon), course, distance * kPi / 10800.0, 5);
}

GeoPoint DestinationFeet(double lat, double lon, std::int16_t course, std::int16_t dist) {
    const double distance = dist < 0 ? 0.0 : dist;
    return Destination(DestinationOrigin(lat, lon), course, (distance / kFeetPerNm) * kPi / 10800.0, 5);
}

GeoPoint DestinationMetres(double lat, double lon, std::int16_t course, double dist) {
    return Destination(DestinationOrigin(lat, lon), course, MetresToAngle(dist), 6);
}

double DestinationOrigin::LatitudeAfterMetres(std::int16_t course, double dist) const {
    return RoundDecimals(Degrees(MovedPhi(*this, std::cos(Radians(course)), MetresToAngle(dist))), 6);
}

double DestinationOrigin::LongitudeAfterMetres(std::int16_t course, double dist) const {
    const double tc = Radians(course);
    const double angular = MetresToAngle(dist);
    const double phi = MovedPhi(*this, std::cos(tc), angular);
    return RoundDecimals(-MovedLambda(*this, std::sin(tc), angular, phi) * 180.0 / kPi, 6);
}

}  // namespace tarnwick::geo
