#pragma once
// The time of a replay: it runs at one, two, four or eight times the pace of
// the clock under it, or stands still while paused.
#include <chrono>
#include <functional>

namespace tarnwick {

class ReplayClock {
   public:
    using Millis = std::chrono::milliseconds;
    explicit ReplayClock(std::function<Millis()> base) : base_(std::move(base)), anchorBase_(base_()) {}

    Millis Now() const;
    // 1, 2, 4 or 8; anything else is taken as 1.
    void SetSpeed(int factor);
    int Speed() const { return speed_; }
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // Sets the replay's time, going on from there at the same pace.
    void JumpTo(Millis time);
    // A replay is under way on this clock: its session object says so from
    // the moment its player is made until it goes.
    bool Playing() const { return playing_; }
    void SetPlaying(bool playing) { playing_ = playing; }

   private:
    void Anchor();

    std::function<Millis()> base_;
    Millis anchorBase_;
    Millis anchorTime_{0};
    int speed_ = 1;
    bool paused_ = false;
    bool playing_ = false;
};

}  // namespace tarnwick
