#include "multiplayer/demo/demo_airfield.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "geo/local_plane.h"

namespace tarnwick {
namespace {

constexpr double kNm = geo::kMetresPerNm;
constexpr double kShortestRunwayM = 300.0;
constexpr double kTaxiKt = 12.0;

std::string DesignatorFor(double heading) {
    int number = static_cast<int>(RoundHalfEven(heading / 10.0)) % 36;
    if (number == 0) number = 36;
    return (number < 10 ? "0" : "") + std::to_string(number);
}

double BearingFrom(LocalPoint from, LocalPoint to) {
    return geo::BearingOfOffset(to.X - from.X, to.Y - from.Y);
}

}  // namespace

LocalPoint DemoPlane::ToLocal(double lat, double lon) const {
    return {(lon - CenterLon) * geo::MetresPerDegreeLon(CenterLat), (lat - CenterLat) * 60.0 * kNm};
}

double DemoPlane::LatitudeOf(LocalPoint p) const { return CenterLat + p.Y / geo::kMetresPerDegreeLat; }

double DemoPlane::LongitudeOf(LocalPoint p) const {
    const double lon = CenterLon + p.X / geo::MetresPerDegreeLon(CenterLat);
    return std::fmod(std::fmod(lon + 180.0, 360.0) + 360.0, 360.0) - 180.0;
}

LocalPoint Toward(LocalPoint from, double bearingDeg, double metres) {
    const geo::PlaneOffset offset = geo::OffsetToward(bearingDeg, metres);
    return {from.X + offset.East, from.Y + offset.North};
}

LocalPoint ActiveRunway::At(double along, double right) const {
    const double h = geo::DegreesToRadians(HeadingDeg);
    return {Threshold.X + along * std::sin(h) + right * std::cos(h),
            Threshold.Y + along * std::cos(h) - right * std::sin(h)};
}

std::optional<ActiveRunway> LongestRunwayInUse(const DemoPlane& plane,
                                               const std::vector<SimulatedRunway>& runways, bool reverse) {
    const SimulatedRunway* longest = nullptr;
    double longestM = kShortestRunwayM;
    for (const SimulatedRunway& r : runways) {
        const LocalPoint a = plane.ToLocal(r.Lat1, r.Lon1);
        const LocalPoint b = plane.ToLocal(r.Lat2, r.Lon2);
        const double length = std::hypot(b.X - a.X, b.Y - a.Y);
        if (std::isfinite(length) && length > longestM) {
            longestM = length;
            longest = &r;
        }
    }
    if (!longest) return std::nullopt;
    LocalPoint a = plane.ToLocal(longest->Lat1, longest->Lon1);
    LocalPoint b = plane.ToLocal(longest->Lat2, longest->Lon2);
    if (reverse) std::swap(a, b);
    ActiveRunway runway;
    runway.Threshold = a;
    runway.HeadingDeg = BearingFrom(a, b);
    runway.LengthM = longestM;
    runway.ElevationFt = longest->ElevationFt;
    // Runways are named by their magnetic heading, which the true track here
    // is not; the scenery's own name is the right one.
    runway.Designator = reverse ? longest->Id2 : longest->Id1;
    if (runway.Designator.empty()) runway.Designator = DesignatorFor(runway.HeadingDeg);
    return runway;
}

ActiveRunway LaidOutRunway(double headingDeg, double elevationFt) {
    ActiveRunway runway;
    runway.HeadingDeg = headingDeg;
    runway.LengthM = 2500.0;
    runway.Threshold = Toward({}, headingDeg + 180.0, runway.LengthM / 2.0);
    runway.ElevationFt = elevationFt;
    runway.Designator = DesignatorFor(headingDeg);
    return runway;
}

std::vector<Waypoint> ArrivalRoute(const ActiveRunway& runway, const AircraftPerformance& perf,
                                   LocalPoint from) {
    const double elevation = runway.ElevationFt;
    const double h = geo::DegreesToRadians(runway.HeadingDeg);
    const double rightOfCentreline =
        (from.X - runway.Threshold.X) * std::cos(h) - (from.Y - runway.Threshold.Y) * std::sin(h);
    const double side = rightOfCentreline >= 0.0 ? 1.0 : -1.0;
    const double rollOut = std::min(runway.LengthM - 200.0, 1500.0);
    return {
        {runway.At(-18 * kNm, side * 5 * kNm), elevation + 5000, std::min(perf.CruiseKt, 230.0)},
        {runway.At(-12 * kNm, 0), elevation + 3000, perf.ApproachKt + 40},
        {runway.At(-6 * kNm, 0), elevation + 1900, perf.ApproachKt + 10},
        {runway.At(0, 0), elevation, perf.ApproachKt, true},
        {runway.At(std::max(rollOut, 300.0), 0), elevation, 15},
    };
}

std::vector<Waypoint> DepartureRoute(const ActiveRunway& runway, const AircraftPerformance& perf,
                                     double outboundDeg, double cruiseFt) {
    const LocalPoint climbOut = runway.At(runway.LengthM + 3 * kNm, 0);
    return {
        {runway.At(0, 0), runway.ElevationFt, kTaxiKt},
        {climbOut, runway.ElevationFt + 2000, perf.ClimbKt},
        {Toward(climbOut, outboundDeg, 10 * kNm), cruiseFt, perf.CruiseKt},
        {Toward({}, outboundDeg, 45 * kNm), cruiseFt, perf.CruiseKt},
    };
}

std::vector<Waypoint> PatternRoute(const ActiveRunway& runway, const AircraftPerformance& perf) {
    const double elevation = runway.ElevationFt;
    const double circuit = elevation + 1000;
    const double side = -1.2 * kNm;
    return {
        {runway.At(runway.LengthM + 0.7 * kNm, 0), circuit, perf.ClimbKt},
        {runway.At(runway.LengthM + 0.7 * kNm, side), circuit, perf.CruiseKt * 0.75},
        {runway.At(-0.8 * kNm, side), circuit, perf.CruiseKt * 0.75},
        {runway.At(-1.3 * kNm, 0), elevation + 400, perf.ApproachKt + 5},
        {runway.At(0, 0), elevation, perf.ApproachKt, true},
    };
}

std::vector<Waypoint> LineUpRoute(const ActiveRunway& runway) {
    return {{runway.At(0, 0), runway.ElevationFt, kTaxiKt}};
}

std::vector<Waypoint> RollOutRoute(const ActiveRunway& runway) {
    return {{runway.At(std::min(runway.LengthM - 200.0, 1200.0), 0), runway.ElevationFt, kTaxiKt}};
}

}  // namespace tarnwick
