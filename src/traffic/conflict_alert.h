#pragma once
// Conflict alert: two aircraft, both moving (ground speed above 50 kt), that
// are closer than the distance horizontally and the height vertically now, or
// will be within the look-ahead time on their present tracks, speeds and
// vertical speeds; unless the inhibitions excuse them (in trail on one
// final, in an airport's circuit).
#include <cstddef>
#include <vector>

#include "state/motion_history.h"
#include "state/radar_aids.h"
#include "traffic/conflict_inhibitions.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

struct ConflictLimits {
    double DistanceNm = 3.0;
    double HeightFt = 1000.0;
    double LookaheadS = 60.0;
};

ConflictLimits ConflictLimitsOf(const RadarAids& aids);

// An aircraft as the alert sees it.
struct Mover {
    double Latitude = 0.0;
    double Longitude = 0.0;
    double AltitudeFt = 0.0;
    double GroundSpeedKt = 0.0;
    double TrackTrue = 0.0;
    double VerticalSpeedFpm = 0.0;
};

bool InConflict(const Mover& a, const Mover& b, const ConflictLimits& limits);

// Two entries of the traffic table by index, the first before the second.
struct ConflictPair {
    std::size_t First = 0;
    std::size_t Second = 0;
    bool operator==(const ConflictPair&) const = default;
};

// The rate at which the distance between two aircraft shrinks, in knots
// (negative while it grows).
double ClosingKt(const Mover& a, const Mover& b);

// Every pair in conflict among the traffic the scope shows (wherever the
// view is) that the inhibitions do not excuse, in table order.
std::vector<ConflictPair> FindConflicts(const ScopeTraffic& traffic, const MotionHistory& motion,
                                        const ConflictLimits& limits,
                                        const ConflictInhibitions& inhibitions = {});

}  // namespace tarnwick
