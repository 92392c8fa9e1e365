#pragma once
// Pilots in a session hub, each known to the traffic table and with a
// position report of its own, for benchmarks of the receive tick.
#include <string>
#include <vector>

#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/local/in_process_session.h"
#include "state/traffic_table.h"

namespace tarnwick::bench {

struct ReportingPilots {
    std::vector<std::int32_t> Ids;
    std::vector<MessageBytes> Reports;
};

// Every other report is the long form when `mixed`.
inline ReportingPilots AddReportingPilots(InProcessSessionHub& hub, TrafficTable& table, int count,
                                          bool mixed) {
    ReportingPilots pilots;
    for (int i = 0; i < count; ++i) {
        const std::string name = "PILOT" + std::to_string(i);
        pilots.Ids.push_back(hub.AddPlayer(name));
        (void)table.Append(name, pilots.Ids.back(), kKindPlayer);
        const PositionWords words{AttitudeWordForHeading(i * 5.0), LatitudeToWire(47.0 + i * 0.01),
                                  LongitudeToWire(-122.0 - i * 0.01), 1000 + i};
        pilots.Reports.push_back(mixed && i % 2 ? Encode(MsgPosition{words})
                                                : Encode(MsgPositionLong{words}));
    }
    return pilots;
}

}  // namespace tarnwick::bench
