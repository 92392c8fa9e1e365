#include "multiplayer/fuzzing/directplay_fuzzing.h"

#include <span>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/host_session.h"
#include "multiplayer/fuzzing/fuzz_invariant.h"

namespace tarnwick::directplay {
namespace {

class StillClock : public Clock {
   public:
    Millis Now() const override { return now_; }
    void Advance(Millis step) { now_ += step; }

   private:
    Millis now_{1000};
};

constexpr Endpoint kHostListener{kLoopbackAddress, 2400};
constexpr Endpoint kHostDatagrams{kLoopbackAddress, 2450};

// A client that has joined a made-up host, and the connection the host's
// messages arrive on.
ConnectionId JoinedClient(DirectPlayClient& client) {
    client.Start();
    client.OnSocketsOpen(2300, 2350);
    SessionInfo session;
    session.desc.max_players = 8;
    session.name = u"Fuzz";
    session.host = kHostListener;
    JoinRequest request;
    request.player_name = "ATC";
    request.visible_player = false;
    client.Join(session, request);
    const ConnectionId from_host = client.OnAccepted({kLoopbackAddress, 50000});
    PlayerInfo host;
    host.flags = player_flags::kSystemPlayer | player_flags::kNameServer;
    host.id = 0x100;
    host.version = kNewestDialect;
    host.sp_data = SpData{{0, kHostListener.port}, {0, kHostDatagrams.port}};
    PlayerInfo pilot;
    pilot.id = 0x101;
    pilot.system_player = 0x100;
    pilot.short_name = u"Pilot";
    PlayerInfo group;
    group.id = 0x102;
    group.members = {0x101};
    const Endpoint header{0, kHostListener.port};
    client.OnTcpData(from_host, EncodeSystemFrame(RequestPlayerReply{0x200, results::kOk}, header));
    client.OnTcpData(
        from_host, EncodeSystemFrame(
                       SuperEnumPlayersReply{session.desc, u"Fuzz", {}, {host, pilot}, {group}, {}}, header));
    return from_host;
}

// What decodes is encoded again as our peers would send it, and that must
// decode to the same message. A message the encoder refuses (too many
// entries for its count fields) is left out.
void RequireBodyRoundTrip(std::span<const std::uint8_t> bytes) {
    DecodedBody first;
    std::vector<std::uint8_t> encoded;
    try {
        first = DecodeBody(bytes);
        encoded = EncodeBody(first.message, first.dialect);
    } catch (const MalformedMessage&) {
        return;
    }
    fuzz::Require(DecodeBody(encoded).message == first.message,
                  "a system message decodes, encodes, decodes the same");
}

void RequireFrameRoundTrip(std::span<const std::uint8_t> bytes) {
    Inbound first;
    std::vector<std::uint8_t> encoded;
    try {
        first = DecodeTcpFrame(bytes, true);
        if (const auto* system = std::get_if<SystemFrame>(&first)) {
            encoded = EncodeSystemFrame(system->message, system->header_address, system->dialect);
        } else {
            encoded = EncodeGameFrame(std::get<GameMessage>(first), true, {});
        }
    } catch (const MalformedMessage&) {
        return;
    }
    const Inbound again = DecodeTcpFrame(encoded, true);
    if (const auto* system = std::get_if<SystemFrame>(&first)) {
        const auto* systemAgain = std::get_if<SystemFrame>(&again);
        fuzz::Require(systemAgain && systemAgain->message == system->message &&
                          systemAgain->header_address == system->header_address,
                      "a system frame decodes, encodes, decodes the same");
    } else {
        const auto* gameAgain = std::get_if<GameMessage>(&again);
        fuzz::Require(gameAgain && *gameAgain == std::get<GameMessage>(first),
                      "a game frame decodes, encodes, decodes the same");
    }
}

}  // namespace

int FuzzDirectPlayMessage(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    RequireBodyRoundTrip(bytes);
    RequireFrameRoundTrip(bytes);
    try {
        DecodeDatagram(bytes, false);
    } catch (const MalformedMessage&) {
    }
    FrameReassembler reader;
    reader.Feed(bytes.first(size / 2), [](auto) {});
    reader.Feed(bytes.subspan(size / 2), [](auto) {});

    StillClock clock;
    DirectPlayClient client(ClientConfig{}, clock);
    const ConnectionId from_host = JoinedClient(client);
    client.OnTcpData(from_host, bytes);
    client.OnDatagram(kHostDatagrams, bytes);
    clock.Advance(Millis{60000});
    client.OnTimer();
    client.TakeActions();

    DirectPlayHost host(HostConfig{}, clock);
    host.Start();
    host.OnSocketsOpen(2300, 2350);
    host.CreateLocalPlayer("Sim");
    const ConnectionId from_client = host.OnAccepted({kLoopbackAddress, 50001});
    host.OnTcpData(from_client, bytes);
    host.OnDatagram({kLoopbackAddress, 2351}, bytes);
    host.OnTimer();
    host.TakeActions();
    return 0;
}

}  // namespace tarnwick::directplay
