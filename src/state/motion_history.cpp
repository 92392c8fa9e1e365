#include "state/motion_history.h"

#include <algorithm>

#include "geo/local_offset.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

bool SamePosition(const MotionSample& a, const PlayerRecord& entry) {
    return a.Latitude == entry.Latitude && a.Longitude == entry.Longitude && a.AltitudeFt == entry.Altitude;
}

double Hours(milliseconds time) { return static_cast<double>(time.count()) / 3'600'000.0; }

}  // namespace

void MotionHistory::Observe(const TrafficTable& table, milliseconds now) {
    ++generation_;
    for (const PlayerRecord& entry : table.Entries()) {
        auto [found, added] = tracks_.try_emplace(KeyOf(entry));
        // A second entry with the same name and id is the same aircraft.
        if (!added && found->second.Generation == generation_) continue;
        ObserveEntry(found->second, entry, now, added);
    }
    std::erase_if(tracks_, [this](const auto& track) { return track.second.Generation != generation_; });
    const std::size_t capacity = Capacity();
    for (auto& [key, track] : tracks_) {
        while (track.Samples.size() > capacity) track.Samples.pop_front();
    }
}

void MotionHistory::ObserveEntry(Track& track, const PlayerRecord& entry, milliseconds now, bool isNew) {
    track.Generation = generation_;
    const bool changed = isNew || !SamePosition(track.Seen, entry);
    if (changed) {
        track.Seen = {now, entry.Latitude, entry.Longitude, entry.Altitude};
        track.LastChange = now;
    }
    const bool due = track.Samples.empty() || now - track.Samples.back().Time >= kSampleSpacing;
    const bool current = changed || now - track.LastChange >= kSampleSpacing;
    if (due && current) track.Samples.push_back({now, entry.Latitude, entry.Longitude, entry.Altitude});
}

std::size_t MotionHistory::Capacity() const {
    if (tracks_.empty()) return kMostSamplesPerPlayer;
    return std::clamp(kMostSamples / tracks_.size(), kFewestSamplesPerPlayer, kMostSamplesPerPlayer);
}

Motion MotionHistory::MotionOf(const PlayerKey& player) const {
    const auto found = tracks_.find(player);
    if (found == tracks_.end() || found->second.Samples.empty()) return {};
    const std::deque<MotionSample>& samples = found->second.Samples;
    const MotionSample& a = samples.back();
    const auto b = std::find_if(samples.rbegin(), samples.rend(),
                                [&](const MotionSample& s) { return a.Time - s.Time >= kBaseline; });
    if (b == samples.rend()) return {};
    const milliseconds elapsed = a.Time - b->Time;
    const geo::OffsetNm moved = geo::OffsetBetween(b->Latitude, b->Longitude, a.Latitude, a.Longitude);
    Motion motion;
    motion.GroundSpeedKt = geo::LengthNm(moved) / Hours(elapsed);
    if (*motion.GroundSpeedKt >= kLowestTrackKt) motion.TrackTrue = geo::CourseDegrees(moved);
    motion.VerticalSpeedFpm = static_cast<double>(a.AltitudeFt - b->AltitudeFt) / (Hours(elapsed) * 60.0);
    return motion;
}

std::vector<MotionSample> MotionHistory::Trail(const PlayerKey& player, int count,
                                               milliseconds spacing) const {
    std::vector<MotionSample> trail;
    const auto found = tracks_.find(player);
    if (found == tracks_.end() || found->second.Samples.empty()) return trail;
    const std::deque<MotionSample>& samples = found->second.Samples;
    const milliseconds newest = samples.back().Time;
    auto next = samples.rbegin();
    for (int k = 1; k <= count; ++k) {
        const milliseconds when = newest - spacing * k;
        next = std::find_if(next, samples.rend(), [&](const MotionSample& s) { return s.Time <= when; });
        if (next == samples.rend()) break;
        trail.push_back(*next);
    }
    return trail;
}

std::size_t MotionHistory::SampleCount() const {
    std::size_t count = 0;
    for (const auto& [key, track] : tracks_) count += track.Samples.size();
    return count;
}

}  // namespace tarnwick
