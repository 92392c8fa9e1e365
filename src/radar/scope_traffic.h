#pragma once
// The session's aircraft as the scope sees them: the traffic table and the
// participant the program itself plays, which has no position of its own and
// is never shown.
#include <cstdint>
#include <string_view>

#include "state/traffic_table.h"

namespace tarnwick {

struct ScopeTraffic {
    const TrafficTable& Table;
    std::int32_t OwnPlayerId = 0;
    // The session's friendly name for OwnPlayerId, asked by the caller once
    // per pass (Windows-1252 bytes).
    std::string_view OwnName;
};

// A participant the scope draws and hovers: a player, not the program itself
// by name or by id. Whether it is in view is asked separately.
bool ShowsOnScope(const ScopeTraffic& traffic, const PlayerRecord& record);

}  // namespace tarnwick
