#pragma once
// The session's aircraft as the scope sees them: the traffic table and the
// participant the program itself plays, which has no position of its own and
// is never shown.
#include <cstdint>
#include <optional>
#include <string_view>

#include "state/radar_aids.h"
#include "state/traffic_table.h"

namespace tarnwick {

// The altitude filter's band, both ends included.
struct AltitudeBand {
    std::int32_t LowestFt = 0;
    std::int32_t HighestFt = 0;
    bool Holds(std::int32_t altitudeFt) const { return LowestFt <= altitudeFt && altitudeFt <= HighestFt; }
};

// The band the aids ask for; none while the altitude filter is off.
inline std::optional<AltitudeBand> ShownBand(const RadarAids& aids) {
    if (!aids.AltitudeFilter) return std::nullopt;
    return AltitudeBand{aids.LowestAltitudeFt, aids.HighestAltitudeFt};
}

struct ScopeTraffic {
    const TrafficTable& Table;
    std::int32_t OwnPlayerId = 0;
    // The session's friendly name for OwnPlayerId, asked by the caller once
    // per pass (Windows-1252 bytes).
    std::string_view OwnName;
    // With the altitude filter on, traffic outside the band is neither drawn nor hovered.
    std::optional<AltitudeBand> Band = std::nullopt;
};

// A participant the scope draws and hovers: a player, not the program itself
// by name or by id, inside the altitude band if there is one. Whether it is
// in view is asked separately.
bool ShowsOnScope(const ScopeTraffic& traffic, const PlayerRecord& record);

}  // namespace tarnwick
