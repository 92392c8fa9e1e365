#pragma once
// The time of a replay: it runs at one, two, four or eight times the pace of
// the clock under it, or stands still while paused, and stops at the
// recording's end. The replay's controls and its session object share it: the
// controls move it, the session object plays the recording up to it.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tarnwick {

class ReplayClock {
   public:
    using Millis = std::chrono::milliseconds;
    explicit ReplayClock(std::function<Millis()> base) : base_(std::move(base)), anchorBase_(base_()) {}

    // Never past the length, once there is one.
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

    // The time of the recording's last line, which the session object tells.
    void SetLength(std::optional<Millis> length) { length_ = length; }
    std::optional<Millis> Length() const { return length_; }
    // The replay has reached the recording's end.
    bool Finished() const { return length_ && Now() >= *length_; }

    // The replay goes back to an earlier time: the session object is to play
    // the recording again from its start. Each call counts one more.
    void Rewind(Millis time);
    unsigned Rewinds() const { return rewinds_; }

   private:
    void Anchor();

    std::function<Millis()> base_;
    Millis anchorBase_;
    Millis anchorTime_{0};
    int speed_ = 1;
    bool paused_ = false;
    bool playing_ = false;
    std::optional<Millis> length_;
    unsigned rewinds_ = 0;
};

// "12:34" or, from an hour on, "1:02:03".
std::string ReplayTimeText(std::chrono::milliseconds time);

}  // namespace tarnwick
