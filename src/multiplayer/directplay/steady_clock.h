#pragma once
// The real clock for the DirectPlay state machines.
#include <chrono>

#include "multiplayer/directplay/session_actions.h"

namespace tarnwick::directplay {

class SteadyClock : public Clock {
   public:
    Millis Now() const override {
        return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
    }
};

}  // namespace tarnwick::directplay
