#pragma once
// Time in tests over real sockets. Bytes over loopback take milliseconds, but
// a loaded machine (the sanitizers, other tests at once) can hold a process
// up for seconds: a test that waits on sockets gives up only after the one
// generous deadline below, and never asserts how long anything took. Waits
// that are the program's own (a join's time-out) run on a clock the test
// moves instead.
#include <chrono>

#include "multiplayer/directplay/session_actions.h"
#include "multiplayer/directplay/steady_clock.h"

namespace tarnwick::testing {

inline constexpr std::chrono::milliseconds kSocketDeadline{20000};

// The steady clock, which the test can move ahead at once.
class JumpingClock final : public directplay::Clock {
   public:
    directplay::Millis Now() const override { return steady_.Now() + jumped_; }
    void Jump(directplay::Millis time) { jumped_ += time; }

   private:
    directplay::SteadyClock steady_;
    directplay::Millis jumped_{0};
};

// Real time's end of a wait on sockets that starts now.
inline std::chrono::steady_clock::time_point SocketDeadlineFromNow() {
    return std::chrono::steady_clock::now() + kSocketDeadline;
}

}  // namespace tarnwick::testing
