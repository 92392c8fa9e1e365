#include "multiplayer/fuzzing/receive_fuzzing.h"

#include <array>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

#include "geo/declination_grid.h"
#include "multiplayer/fuzzing/fuzz_invariant.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/session_link.h"

namespace tarnwick {
namespace {

// The message as the program would send it; nothing for bytes it does not read.
std::optional<MessageBytes> EncodedAgain(const GameMessage& message) {
    return std::visit(
        [](const auto& m) -> std::optional<MessageBytes> {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, UnknownGameMessage> || std::is_same_v<T, MalformedGameMessage>) {
                return std::nullopt;
            } else {
                return Encode(m);
            }
        },
        message);
}

// Decoding what the program encodes gives back what it decoded: its encoding
// is the same bytes again. True when the message is one it reads.
bool RequireRoundTrip(std::span<const std::uint8_t> bytes) {
    const std::optional<MessageBytes> once = EncodedAgain(DecodeGameMessage(bytes));
    if (!once) return false;
    fuzz::Require(EncodedAgain(DecodeGameMessage(*once)) == once,
                  "a game message decodes, encodes, decodes the same");
    return true;
}

ReceiveTickRun Ended(ReceiveTickRun run) {
    run.SessionEnded = true;
    return run;
}

}  // namespace

ReceiveTickRun RunReceiveTicks(std::span<const std::uint8_t> data) {
    ReceiveTickRun run;
    const std::uint8_t flags = data.empty() ? 0 : data[0];
    InProcessSessionHub hub(1000);
    hub.HostSession("Fuzz", 16, "{FUZZ}");
    InProcessTransport transport(hub, "Fuzz");

    SessionState session;
    session.OwnPlayerId = JoinWithPlayer(transport, "Tower");
    session.SessionMaxPlayers = 16;
    session.SessionConnected = true;
    session.TrafficEnabled = (flags & 2) == 0;
    (void)session.Traffic.Append("Tower", session.OwnPlayerId, kKindPlayer);

    const std::array<std::int32_t, 4> peers = {hub.AddPlayer("Alpha"), hub.AddPlayer("Bravo"),
                                               hub.AddPlayer("Charlie"), hub.AddPlayer("Gone")};
    for (std::int32_t peer : {peers[0], peers[1], peers[3]}) {
        (void)session.Traffic.Append(hub.FriendlyName(peer), peer, kKindPlayer);
    }
    hub.RemovePlayer(peers[3]);
    // Alpha admitted the program: only it can remove the program or leave as host.
    session.HostPlayerId = peers[0];

    auto grid = std::make_unique<DeclinationGrid>();
    grid->Cells.fill(-2000);
    SessionLink link(session, transport, *grid);
    link.Start();
    session.IsHosting = (flags & 1) != 0;

    std::size_t at = 1;
    while (at < data.size() && session.SessionConnected) {
        const std::uint8_t selector = data[at++];
        std::size_t length = 0;
        for (int i = 0; i < 2 && at < data.size(); ++i) length |= std::size_t{data[at++]} << (8 * i);
        length = std::min(length, data.size() - at);
        std::vector<std::uint8_t> message(data.begin() + static_cast<std::ptrdiff_t>(at),
                                          data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        ++run.Messages;
        if (RequireRoundTrip(message)) ++run.ReadMessages;
        hub.Inject(peers[selector % peers.size()], session.OwnPlayerId, std::move(message));
        if ((selector & 0x80) && link.ReceiveTick().Disconnect) return Ended(run);
        if ((selector & 0x40) && link.MaintenanceTick().Disconnect) return Ended(run);
    }
    // Ticks until the queue is empty: each one handles at least one message
    // unless the session went, so this ends. Then a known pilot says one line.
    try {
        while (transport.MessageCount(session.OwnPlayerId) > 0) {
            if (link.ReceiveTick().Disconnect || transport.SessionLost()) return Ended(run);
        }
        if (!session.SessionConnected) return Ended(run);
        hub.Send(peers[0], session.OwnPlayerId, Encode(MsgChat{"still here"}));
        const LinkEvents events = link.ReceiveTick();
        run.StillAnswers = events.ChatLines == std::vector<std::string>{"Alpha: still here"};
    } catch (const SessionError&) {
        // The session went with the last tick.
        return Ended(run);
    }
    return run;
}

void FuzzReceiveTick(std::span<const std::uint8_t> data) {
    const ReceiveTickRun run = RunReceiveTicks(data);
    fuzz::Require(run.SessionEnded || run.StillAnswers, "the link answers a known pilot after any bytes");
}

}  // namespace tarnwick
