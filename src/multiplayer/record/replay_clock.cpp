#include "multiplayer/record/replay_clock.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick {

ReplayClock::Millis ReplayClock::Now() const {
    const Millis time = paused_ ? anchorTime_ : anchorTime_ + (base_() - anchorBase_) * speed_;
    return length_ ? std::min(time, *length_) : time;
}

void ReplayClock::Anchor() {
    anchorTime_ = Now();
    anchorBase_ = base_();
}

void ReplayClock::SetSpeed(int factor) {
    Anchor();
    speed_ = factor == 2 || factor == 4 || factor == 8 ? factor : 1;
}

void ReplayClock::SetPaused(bool paused) {
    Anchor();
    paused_ = paused;
}

void ReplayClock::JumpTo(Millis time) {
    anchorTime_ = time;
    anchorBase_ = base_();
}

void ReplayClock::Rewind(Millis time) {
    ++rewinds_;
    JumpTo(time);
}

std::string ReplayTimeText(std::chrono::milliseconds time) {
    const long long seconds = std::max<long long>(time.count(), 0) / 1000;
    char text[32];
    if (seconds < 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    }
    return text;
}

}  // namespace tarnwick
