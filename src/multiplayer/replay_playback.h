#pragma once
// The receive tick of a replay, and moving the replay to another moment of
// its recording. After a seek the traffic table is what playing the
// recording up to that moment would have left (with the upkeep pass done
// there), and the motion history has the two minutes before it, so that
// speeds, vectors and track history show at once; going back plays the
// recording again from its start. What the session said is told once: chat
// lines and messages from before the furthest moment already reached are not
// told again, whether a seek passes them or the replay plays them again.
#include <chrono>
#include <cstdint>

#include "multiplayer/record/replay_clock.h"
#include "multiplayer/session_link.h"
#include "state/session_state.h"

namespace tarnwick {

class ReplayPlayback {
   public:
    // How much of the recording before a new moment is played second by
    // second, as the receive ticks would, for the motion history.
    static constexpr std::chrono::milliseconds kWarmUp{120000};

    // At the radar window's load of a replay: the session's host as the join
    // left it is what going back starts from again.
    ReplayPlayback(ReplayClock& clock, SessionState& session, SessionLink& link);

    // The link's receive tick, without what was told before.
    LinkEvents ReceiveTick();
    // Moves the replay to `time`, brought into the recording (0 to its
    // length); the clock goes on from there as it was going (paused or not).
    // The events are those of the stretch played that were not told before.
    LinkEvents SeekTo(std::chrono::milliseconds time);

   private:
    // The clock moved to `time` and one receive tick.
    void PlayTo(std::chrono::milliseconds time, LinkEvents& events);
    void Restart();

    ReplayClock& clock_;
    SessionState& session_;
    SessionLink& link_;
    std::int32_t startHost_;
    std::chrono::milliseconds toldUpTo_{0};
};

}  // namespace tarnwick
