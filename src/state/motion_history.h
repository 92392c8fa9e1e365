#pragma once
// Where each aircraft of the traffic table has been, and the motion worked out
// from it: ground speed, true track and vertical speed, which the position
// reports do not carry. The joined session's ticks feed it with the session's
// clock after every tick that changed the table; the tools replay a
// session's tables into it the same way.
//
// The rule (the README says it too):
// - Samples: an entry's position (latitude, longitude, altitude) is kept at
//   the tick's time when at least 1 s has passed since its last kept sample
//   and either the position changed at this tick (a fresh report) or it has
//   stood still for a whole second (parked, or no longer reporting).
// - Motion: from the newest sample A and the newest sample B at least 5 s
//   older. Ground speed is the distance from B to A over the time between
//   them, the true track the course from B to A (unknown below 1 kt), the
//   vertical speed the altitude change over that time. All three are unknown
//   until there is such a B.
// - Bounds: at most 128 samples per player (two minutes and more) and 65,536
//   in all, shared equally when many players need more, never fewer than 2
//   each. An entry that leaves the table leaves the history.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "state/traffic_table.h"

namespace tarnwick {

struct MotionSample {
    std::chrono::milliseconds Time{0};
    double Latitude = 0.0;
    double Longitude = 0.0;
    std::int32_t AltitudeFt = 0;
};

struct Motion {
    std::optional<double> GroundSpeedKt;
    std::optional<double> TrackTrue;  // degrees, 0 up to 360
    std::optional<double> VerticalSpeedFpm;
};

class MotionHistory {
   public:
    static constexpr std::chrono::milliseconds kSampleSpacing{1000};
    static constexpr std::chrono::milliseconds kBaseline{5000};
    static constexpr double kLowestTrackKt = 1.0;
    static constexpr std::size_t kMostSamplesPerPlayer = 128;
    static constexpr std::size_t kMostSamples = 65536;
    static constexpr std::size_t kFewestSamplesPerPlayer = 2;

    // The table as a tick left it, at the session's time `now`. Entries that
    // are gone from the table are forgotten.
    void Observe(const TrafficTable& table, std::chrono::milliseconds now);

    Motion MotionOf(const PlayerKey& player) const;
    // Where the player was 1, 2 ... `count` spacings before its newest sample:
    // for each time the newest sample at or before it, as far back as kept.
    std::vector<MotionSample> Trail(const PlayerKey& player, int count,
                                    std::chrono::milliseconds spacing) const;

    std::size_t PlayerCount() const { return tracks_.size(); }
    std::size_t SampleCount() const;

   private:
    struct Track {
        std::deque<MotionSample> Samples;
        MotionSample Seen;  // the position at the last tick, kept or not
        std::chrono::milliseconds LastChange{0};
        std::uint64_t Generation = 0;
    };

    void ObserveEntry(Track& track, const PlayerRecord& entry, std::chrono::milliseconds now, bool isNew);
    std::size_t Capacity() const;

    std::map<PlayerKey, Track> tracks_;
    std::uint64_t generation_ = 0;
};

}  // namespace tarnwick
