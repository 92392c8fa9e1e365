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
    // b as seen from a, in nautical miles and feet, per second.
    const geo::OffsetNm d = geo::OffsetBetween(a.Latitude, a.Longitude, b.Latitude, b.Longitude);
    const geo::OffsetNm va = geo::AlongCourse(a.TrackTrue, a.GroundSpeedKt / kSecondsPerHour);
    const geo::OffsetNm vb = geo::AlongCourse(b.TrackTrue, b.GroundSpeedKt / kSecondsPerHour);
    const geo::OffsetNm v{vb.East - va.East, vb.North - va.North};
    const double dz = b.AltitudeFt - a.AltitudeFt;
    const double vz = (b.VerticalSpeedFpm - a.VerticalSpeedFpm) / 60.0;
    // Now counts: a pair already too close is in conflict at once.
    const Interval ahead{0.0, std::nextafter(limits.LookaheadS, kForever)};
    const Interval horizontally = PlaneInside(d, v, limits.DistanceNm);
    const Interval vertically = LinearInside(dz, vz, limits.HeightFt);
    return !Intersect(Intersect(horizontally, vertically), ahead).Empty();
}

std::vector<ConflictPair> FindConflicts(const ScopeTraffic& traffic, const MotionHistory& motion,
                                        const ConflictLimits& limits) {
    struct Candidate {
        std::size_t Index;
        Mover At;
    };
    std::vector<Candidate> movers;
    const auto entries = traffic.Table.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!ShowsOnScope(traffic, entries[i])) continue;
        if (auto mover = MoverOf(entries[i], motion.MotionOf(KeyOf(entries[i]))))
            movers.push_back({i, *mover});
    }
    std::vector<ConflictPair> pairs;
    for (std::size_t i = 0; i < movers.size(); ++i) {
        const Mover& a = movers[i].At;
        for (std::size_t j = i + 1; j < movers.size(); ++j) {
            const Mover& b = movers[j].At;
            // Pairs too far apart to meet within the look-ahead are passed over cheaply.
            const double reach =
                limits.DistanceNm + (a.GroundSpeedKt + b.GroundSpeedKt) / kSecondsPerHour * limits.LookaheadS;
            if (std::abs(b.Latitude - a.Latitude) * 60.0 > reach) continue;
            if (InConflict(a, b, limits)) pairs.push_back({movers[i].Index, movers[j].Index});
        }
    }
    return pairs;
}

std::vector<std::string> ConflictLog::Update(const TrafficTable& table, std::span<const ConflictPair> pairs,
                                             std::chrono::milliseconds now) {
    std::vector<std::string> started;
    const auto entries = table.Entries();
    for (const ConflictPair& pair : pairs) {
        if (pair.First >= entries.size() || pair.Second >= entries.size()) continue;
        const PlayerRecord& first = entries[pair.First];
        const PlayerRecord& second = entries[pair.Second];
        const auto [found, added] = lastSeen_.insert_or_assign({KeyOf(first), KeyOf(second)}, now);
        if (added) started.push_back("CONFLICT " + first.Name + " " + second.Name);
    }
    std::erase_if(lastSeen_, [&](const auto& pair) { return now - pair.second >= kClearFor; });
    return started;
}

}  // namespace tarnwick
