#pragma once
// Conflict alert: two aircraft, both moving (ground speed above 50 kt), that
// are closer than the distance horizontally and the height vertically now, or
// will be within the look-ahead time on their present tracks, speeds and
// vertical speeds. Each pair is listed once in the chat log when it starts.
#include <chrono>
#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "radar/scope_traffic.h"
#include "state/motion_history.h"
#include "state/radar_aids.h"

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

// Every pair in conflict among the traffic the scope shows (wherever the
// view is), in table order.
std::vector<ConflictPair> FindConflicts(const ScopeTraffic& traffic, const MotionHistory& motion,
                                        const ConflictLimits& limits);

// The pairs that have started, for the chat log. A pair ends when it has been
// clear for 10 s, so that one hovering at the limits is listed once.
class ConflictLog {
   public:
    static constexpr std::chrono::milliseconds kClearFor{10000};

    // This tick's pairs at the session's time; the lines "CONFLICT name1
    // name2" (Windows-1252) of the pairs that start now.
    std::vector<std::string> Update(const TrafficTable& table, std::span<const ConflictPair> pairs,
                                    std::chrono::milliseconds now);

   private:
    std::map<std::pair<PlayerKey, PlayerKey>, std::chrono::milliseconds> lastSeen_;
};

}  // namespace tarnwick
