#include "radar/aids/conflict_alert.h"

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

bool Conflicting(const Plotted& a, const Plotted& b, const ConflictLimits& limits) {
    // b as seen from a, across the date line the short way.
    double dLon = b.Longitude - a.Longitude;
    if (dLon > 180.0) dLon -= 360.0;
    if (dLon < -180.0) dLon += 360.0;
    const geo::OffsetNm d{dLon * (a.EastNmPerDegree + b.EastNmPerDegree) / 2.0,
                          (b.Latitude - a.Latitude) * 60.0};
    // Pairs too far apart to meet within the look-ahead are passed over cheaply.
    const double reach = limits.DistanceNm + (a.SpeedNmPerS + b.SpeedNmPerS) * limits.LookaheadS;
    if (std::abs(d.North) > reach || std::abs(d.East) > reach) return false;
    const double dz = b.AltitudeFt - a.AltitudeFt;
    const double vz = b.ClimbFtPerS - a.ClimbFtPerS;
    if (std::abs(dz) - std::abs(vz) * limits.LookaheadS >= limits.HeightFt) return false;
    const geo::OffsetNm v{b.Velocity.East - a.Velocity.East, b.Velocity.North - a.Velocity.North};
    // Now counts: a pair already too close is in conflict at once.
    const Interval ahead{0.0, std::nextafter(limits.LookaheadS, kForever)};
    const Interval horizontally = PlaneInside(d, v, limits.DistanceNm);
    const Interval vertically = LinearInside(dz, vz, limits.HeightFt);
    return !Intersect(Intersect(horizontally, vertically), ahead).Empty();
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
    return Conflicting(Plotted(a), Plotted(b), limits);
}

std::vector<ConflictPair> FindConflicts(const ScopeTraffic& traffic, const MotionHistory& motion,
                                        const ConflictLimits& limits) {
    std::vector<std::pair<std::size_t, Plotted>> movers;
    const auto entries = traffic.Table.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!ShowsOnScope(traffic, entries[i])) continue;
        if (auto mover = MoverOf(entries[i], motion.MotionOf(KeyOf(entries[i]))))
            movers.emplace_back(i, *mover);
    }
    std::vector<ConflictPair> pairs;
    for (std::size_t i = 0; i < movers.size(); ++i) {
        for (std::size_t j = i + 1; j < movers.size(); ++j) {
            if (Conflicting(movers[i].second, movers[j].second, limits))
                pairs.push_back({movers[i].first, movers[j].first});
        }
    }
    return pairs;
}

std::vector<std::string> ConflictLog::Update(const TrafficTable& table, std::span<const ConflictPair> pairs,
                                             std::chrono::milliseconds now) {
    // Ended first: a pair back after 10 s clear (or after the alert was off
    // that long) is a new conflict.
    std::erase_if(lastSeen_, [&](const auto& pair) { return now - pair.second >= kClearFor; });
    std::vector<std::string> started;
    const auto entries = table.Entries();
    for (const ConflictPair& pair : pairs) {
        if (pair.First >= entries.size() || pair.Second >= entries.size()) continue;
        const PlayerRecord& first = entries[pair.First];
        const PlayerRecord& second = entries[pair.Second];
        const auto [found, added] = lastSeen_.insert_or_assign({KeyOf(first), KeyOf(second)}, now);
        if (added) started.push_back("CONFLICT " + first.Name + " " + second.Name);
    }
    return started;
}

}  // namespace tarnwick
