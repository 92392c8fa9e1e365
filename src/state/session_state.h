#pragma once
// What the program knows about the multiplayer session it takes part in. It
// lives for the whole run: leaving a session keeps the traffic table and the
// own player id, and the next session's upkeep removes the stale entries.
#include <cstdint>
#include <string>

#include "state/motion_history.h"
#include "state/traffic_table.h"

namespace tarnwick {

// A DirectPlay player id is any 32-bit value but 0, negative ones as good as
// any other: hosts XOR their ids with a key of all 32 bits.
inline constexpr bool IsPlayerId(std::int32_t id) { return id != 0; }

struct SessionState {
    // The id the session gave the program's player. Never cleared: everything
    // that uses it acts only while it is a player id (not 0).
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
    // Who hosts the session at the FS2002 level: the player whose acceptance
    // admitted the program's player, or the program's own once it hosts. Only
    // this player can remove the program or say that it leaves.
    std::int32_t HostPlayerId = 0;
    // The program's own player's name (Windows-1252) as the session had it when
    // it accepted the join; the scope and the traffic list leave it out.
    std::string OwnName;

    TrafficTable Traffic;
    // Where the entries have been, for their speeds and tracks; fed by the
    // joined session's ticks.
    MotionHistory Motion;

    bool HasOwnPlayer() const { return IsPlayerId(OwnPlayerId); }
};

}  // namespace tarnwick
