#include "multiplayer/record/replay_clock.h"

namespace tarnwick {

ReplayClock::Millis ReplayClock::Now() const {
    if (paused_) return anchorTime_;
    return anchorTime_ + (base_() - anchorBase_) * speed_;
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

}  // namespace tarnwick
