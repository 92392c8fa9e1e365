#pragma once
// The conflict alert's list: each pair in conflict from when it starts until
// it has been clear for 10 s (so that a pair hovering at the limits stays one
// alert), with its two names, how far apart they are now, across and in
// height, and since when. No window here: whatever runs the session's ticks
// feeds it and shows the list.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state/chosen_area.h"
#include "traffic/conflict_alert.h"

namespace tarnwick {

struct ConflictAlert {
    // The pair, in table order when it started.
    PlayerKey First;
    PlayerKey Second;
    double DistanceNm = 0.0;
    std::int32_t HeightApartFt = 0;
    // The session's time when it started.
    std::chrono::milliseconds Since{0};
    // No longer in conflict, listed until it has been clear long enough.
    bool Clear = false;
    bool operator==(const ConflictAlert&) const = default;
};

class ConflictWatch {
   public:
    static constexpr std::chrono::milliseconds kClearFor{10000};

    // This tick's pairs at the session's time; how many alerts start now. An
    // alert ends when its pair has been clear for 10 s, or when either
    // aircraft has left the table. A time before the last one (a replay gone
    // back) starts the list afresh.
    std::size_t Update(const TrafficTable& table, std::span<const ConflictPair> pairs,
                       std::chrono::milliseconds now);
    // The alert is off: nothing listed, and every pair new when it comes back.
    void Clear() {
        watched_.clear();
        lastUpdate_.reset();
    }

    // The newest first.
    std::vector<ConflictAlert> Alerts() const;

   private:
    struct Watched {
        ConflictAlert Alert;
        std::chrono::milliseconds LastSeen{0};
    };
    std::vector<Watched> watched_;
    std::optional<std::chrono::milliseconds> lastUpdate_;
};

// One tick of the conflict alert over the traffic the scope shows, with the
// aids' limits and inhibitions over the area's runways and airports; the
// list is emptied while the alert is off. How many alerts start now.
std::size_t WatchConflicts(ConflictWatch& watch, const ScopeTraffic& traffic, const MotionHistory& motion,
                           const ChosenArea& area, const RadarAids& aids, std::chrono::milliseconds now);

// An alert as the list shows it (Windows-1252): "N123 N456  2.4 nm  300 ft
// for 1:05", with "  clear" while it is no longer in conflict.
std::string AlertLine(const ConflictAlert& alert, std::chrono::milliseconds now);

}  // namespace tarnwick
