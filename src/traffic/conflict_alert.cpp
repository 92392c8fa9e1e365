#include "traffic/conflict_alert.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "geo/local_offset.h"

namespace tarnwick {
namespace {

constexpr double kSecondsPerHour = 3600.0;
constexpr double kForever = std::numeric_limits<double>::infinity();

// The times, in seconds from now, during which a separation is too small.
struct Interval {
    double From = 0.0;
    double To = 0.0;
    bool Empty() const { return !(From < To); }
};

Interval Intersect(Interval a, Interval b) { return {std::max(a.From, b.From), std::min(a.To, b.To)}; }

// |dz + vz t| < limit.
Interval LinearInside(double dz, double vz, double limit) {
    if (vz == 0.0) return std::abs(dz) < limit ? Interval{-kForever, kForever} : Interval{};
    const double t1 = (-limit - dz) / vz;
    const double t2 = (limit - dz) / vz;
    return {std::min(t1, t2), std::max(t1, t2)};
}

// |d + v t| < limit, for two-dimensional d and v.
Interval PlaneInside(geo::OffsetNm d, geo::OffsetNm v, double limit) {
    const double a = v.East * v.East + v.North * v.North;
    const double b = 2.0 * (d.East * v.East + d.North * v.North);
    const double c = d.East * d.East + d.North * d.North - limit * limit;
    if (a == 0.0) return c < 0.0 ? Interval{-kForever, kForever} : Interval{};
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant <= 0.0) return {};
    const double root = std::sqrt(discriminant);
    return {(-b - root) / (2.0 * a), (-b + root) / (2.0 * a)};
}

// A mover with what every pair needs worked out once: the east scale at its
// latitude and its velocity in nautical miles and feet per second.
struct Plotted {
    explicit Plotted(const Mover& m)
        : Latitude(m.Latitude),
          Longitude(m.Longitude),
          EastNmPerDegree(geo::EastNmPerDegree(m.Latitude)),
          AltitudeFt(m.AltitudeFt),
          Velocity(geo::AlongCourse(m.TrackTrue, m.GroundSpeedKt / kSecondsPerHour)),
          SpeedNmPerS(m.GroundSpeedKt / kSecondsPerHour),
          ClimbFtPerS(m.VerticalSpeedFpm / 60.0) {}

    double Latitude, Longitude, EastNmPerDegree, AltitudeFt;
    geo::OffsetNm Velocity;
    double SpeedNmPerS, ClimbFtPerS;
};

// b as seen from a: where it is (nautical miles) and how it moves (per second).
struct Relative {
    geo::OffsetNm D;
    geo::OffsetNm V;
};

Relative Between(const Plotted& a, const Plotted& b) {
    // Across the date line the short way.
    double dLon = b.Longitude - a.Longitude;
    if (dLon > 180.0) dLon -= 360.0;
    if (dLon < -180.0) dLon += 360.0;
    return {{dLon * (a.EastNmPerDegree + b.EastNmPerDegree) / 2.0, (b.Latitude - a.Latitude) * 60.0},
            {b.Velocity.East - a.Velocity.East, b.Velocity.North - a.Velocity.North}};
}

bool Conflicting(const Plotted& a, const Plotted& b, const Relative& r, const ConflictLimits& limits) {
    const geo::OffsetNm& d = r.D;
    // Pairs too far apart to meet within the look-ahead are passed over cheaply.
    const double reach = limits.DistanceNm + (a.SpeedNmPerS + b.SpeedNmPerS) * limits.LookaheadS;
    if (std::abs(d.North) > reach || std::abs(d.East) > reach) return false;
    const double dz = b.AltitudeFt - a.AltitudeFt;
    const double vz = b.ClimbFtPerS - a.ClimbFtPerS;
    if (std::abs(dz) - std::abs(vz) * limits.LookaheadS >= limits.HeightFt) return false;
    // Now counts: a pair already too close is in conflict at once.
    const Interval ahead{0.0, std::nextafter(limits.LookaheadS, kForever)};
    const Interval horizontally = PlaneInside(d, r.V, limits.DistanceNm);
    const Interval vertically = LinearInside(dz, vz, limits.HeightFt);
    return !Intersect(Intersect(horizontally, vertically), ahead).Empty();
}

// Two aircraft at one spot close at their whole relative speed.
double Closing(const Relative& r) {
    const double distance = geo::LengthNm(r.D);
    if (distance < 1e-9) return geo::LengthNm(r.V) * kSecondsPerHour;
    return -(r.D.East * r.V.East + r.D.North * r.V.North) / distance * kSecondsPerHour;
}

std::optional<Mover> MoverOf(const PlayerRecord& entry, const Motion& motion) {
    if (!motion.GroundSpeedKt || *motion.GroundSpeedKt <= kConflictMinSpeedKt || !motion.TrackTrue) {
        return std::nullopt;
    }
    return Mover{entry.Latitude,        entry.Longitude,   static_cast<double>(entry.Altitude),
                 *motion.GroundSpeedKt, *motion.TrackTrue, motion.VerticalSpeedFpm.value_or(0.0)};
}

}  // namespace

ConflictLimits ConflictLimitsOf(const RadarAids& aids) {
    return {aids.ConflictDistanceNm, static_cast<double>(aids.ConflictAltitudeFt),
            static_cast<double>(aids.ConflictLookaheadS)};
}

bool InConflict(const Mover& a, const Mover& b, const ConflictLimits& limits) {
    const Plotted pa(a);
    const Plotted pb(b);
    return Conflicting(pa, pb, Between(pa, pb), limits);
}

double ClosingKt(const Mover& a, const Mover& b) { return Closing(Between(Plotted(a), Plotted(b))); }

std::vector<ConflictPair> FindConflicts(const ScopeTraffic& traffic, const MotionHistory& motion,
                                        const ConflictLimits& limits,
                                        const ConflictInhibitions& inhibitions) {
    struct Candidate {
        std::size_t Index;
        Plotted At;
        InhibitionPlace Place;
    };
    std::vector<Candidate> movers;
    const auto entries = traffic.Table.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!ShowsOnScope(traffic, entries[i])) continue;
        if (auto mover = MoverOf(entries[i], motion.MotionOf(KeyOf(entries[i])))) {
            movers.push_back({i, Plotted(*mover),
                              inhibitions.PlaceOf(mover->Latitude, mover->Longitude, mover->AltitudeFt,
                                                  mover->TrackTrue)});
        }
    }
    std::vector<ConflictPair> pairs;
    for (std::size_t i = 0; i < movers.size(); ++i) {
        for (std::size_t j = i + 1; j < movers.size(); ++j) {
            const Relative relative = Between(movers[i].At, movers[j].At);
            if (Conflicting(movers[i].At, movers[j].At, relative, limits) &&
                !inhibitions.Excuses(movers[i].Place, movers[j].Place, Closing(relative)))
                pairs.push_back({movers[i].Index, movers[j].Index});
        }
    }
    return pairs;
}

}  // namespace tarnwick
