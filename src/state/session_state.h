#pragma once
// What the program knows about the multiplayer session it takes part in. It
// lives for the whole run: leaving a session keeps the traffic table and the
// own player id, and the next session's upkeep removes the stale entries.
#include <cstdint>
#include <string>

#include "state/motion_history.h"
#include "state/traffic_table.h"

namespace tarnwick {

struct SessionState {
    // The id the session gave the program's player. Never cleared: everything
    // that uses it acts only while it is 1 or more.
    std::int32_t OwnPlayerId = 0;
    // Application GUID text of the joined session.
    std::string SessionGuid;
    std::int32_t SessionMaxPlayers = 0;
    // A session is joined; always set and cleared together with TrafficEnabled.
    bool SessionConnected = false;
    // Session messages are processed.
    bool TrafficEnabled = false;
    // The session's first host has left and the program answers join requests
    // in its place, until the radar window loads again.
    bool IsHosting = false;

    TrafficTable Traffic;
    // Where the entries have been, for their speeds and tracks; fed by the
    // radar window's ticks.
    MotionHistory Motion;
};

}  // namespace tarnwick
