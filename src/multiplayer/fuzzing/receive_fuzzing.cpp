#include "multiplayer/fuzzing/receive_fuzzing.h"

#include <array>
#include <memory>
#include <vector>

#include "geo/declination_grid.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/session_link.h"

namespace tarnwick {

void FuzzReceiveTick(std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    InProcessSessionHub hub(1000);
    hub.HostSession("Fuzz", 16, "{FUZZ}");
    InProcessTransport transport(hub, "Fuzz");

    SessionState session;
    session.OwnPlayerId = JoinWithPlayer(transport, "Tower");
    session.SessionMaxPlayers = 16;
    session.SessionConnected = true;
    session.TrafficEnabled = (data[0] & 2) == 0;
    (void)session.Traffic.Append("Tower", session.OwnPlayerId, kKindPlayer);

    const std::array<std::int32_t, 4> peers = {hub.AddPlayer("Alpha"), hub.AddPlayer("Bravo"),
                                               hub.AddPlayer("Charlie"), hub.AddPlayer("Gone")};
    for (std::int32_t peer : {peers[0], peers[1], peers[3]}) {
        (void)session.Traffic.Append(hub.FriendlyName(peer), peer, kKindPlayer);
    }
    hub.RemovePlayer(peers[3]);

    auto grid = std::make_unique<DeclinationGrid>();
    grid->Cells.fill(-2000);
    SessionLink link(session, transport, *grid);
    link.Start();
    session.IsHosting = (data[0] & 1) != 0;

    std::size_t at = 1;
    while (at < data.size() && session.SessionConnected) {
        const std::uint8_t selector = data[at++];
        std::size_t length = 0;
        for (int i = 0; i < 2 && at < data.size(); ++i) length |= std::size_t{data[at++]} << (8 * i);
        length = std::min(length, data.size() - at);
        std::vector<std::uint8_t> message(data.begin() + static_cast<std::ptrdiff_t>(at),
                                          data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        hub.Inject(peers[selector % peers.size()], session.OwnPlayerId, std::move(message));
        if (selector & 0x80) {
            if (link.ReceiveTick().Disconnect) return;
        }
        if (selector & 0x40) {
            if (link.MaintenanceTick().Disconnect) return;
        }
    }
    // Ticks until the queue is empty: each one handles at least one message
    // unless the session went, so this ends.
    try {
        while (transport.MessageCount(session.OwnPlayerId) > 0) {
            if (link.ReceiveTick().Disconnect || transport.SessionLost()) return;
        }
    } catch (const SessionError&) {
        // The session went with the last tick.
    }
}

}  // namespace tarnwick
