// Messages count only from the machines the protocol allows, whatever another
// machine of the session claims; and a machine that goes without a word is
// noticed and, by the host, announced.
#include <gtest/gtest.h>

#include "three_machines.h"

namespace tarnwick::directplay {
namespace {

using testing::kFirstIp;
using testing::kHostIp;
using testing::kSecondIp;
using testing::ThreeMachines;

// Raw bytes as a hostile (or merely confused) machine would send them to the
// first client: on a connection of its own, naming `listener` as its own.
struct Injector {
    DirectPlayClient& to;
    ConnectionId connection;
    Endpoint listener;
    void System(const SystemMessage& message) {
        to.OnTcpData(connection, EncodeSystemFrame(message, {kAnyAddress, listener.port}));
    }
    void Game(PlayerId from, PlayerId player_to) {
        to.OnTcpData(connection, EncodeGameFrame({from, player_to, {0x18, 0x10}}, true, {0, listener.port}));
    }
};

Injector From(ThreeMachines& m, const SessionPeer& sender, std::uint32_t ip) {
    return {m.first, m.first.OnAccepted({ip, 50000}), {ip, sender.TcpPort()}};
}

TEST(PeerAuthority, APlayerIsDeletedOnlyByItsOwnMachineOrTheHost) {
    ThreeMachines m;
    Injector second = From(m, m.second, kSecondIp);
    second.System(DeletePlayer{0, m.pilot, 0});
    second.System(DeletePlayer{0, m.host.OwnSystemPlayer(), 0});
    Injector stranger{m.first, m.first.OnAccepted({0x0A000009, 50001}), {0x0A000009, 2300}};
    stranger.System(DeletePlayer{0, m.second.OwnPlayer(), 0});
    m.net.Pump();
    EXPECT_TRUE(m.Events<action::PlayerDestroyed>(m.first).empty());
    EXPECT_EQ(m.first.PlayerName(m.pilot), "Sim One");

    m.second.DestroyVisiblePlayer();  // its own player
    m.host.DestroyLocalPlayer(m.pilot);
    m.net.Pump();
    EXPECT_EQ(m.Events<action::PlayerDestroyed>(m.first).size(), 2u);
}

TEST(PeerAuthority, OnlyTheHostCanDeclareAMachineDead) {
    ThreeMachines m;
    From(m, m.second, kSecondIp).System(YouAreDead{});
    EXPECT_EQ(m.first.CurrentState(), DirectPlayClient::State::kJoined);
    From(m, m.host, kHostIp).System(YouAreDead{});
    EXPECT_EQ(m.Events<action::SessionLost>(m.first).size(), 1u);
}

TEST(PeerAuthority, OnlyAKnownSystemPlayerClaimingForItselfBecomesHost) {
    ThreeMachines m;
    Injector second = From(m, m.second, kSecondIp);
    second.System(IAmNameServer{0, m.first.OwnSystemPlayer(), 0x7, std::nullopt});
    second.System(IAmNameServer{0, m.second.OwnPlayer(), 0x7, std::nullopt});
    Injector stranger{m.first, m.first.OnAccepted({0x0A000009, 50001}), {0x0A000009, 2300}};
    stranger.System(IAmNameServer{0, 0x0BADF00D, 0x7, std::nullopt});
    EXPECT_TRUE(m.Events<action::HostChanged>(m.first).empty());
    EXPECT_EQ(m.first.Names().Host(), m.host.OwnSystemPlayer());

    second.System(IAmNameServer{0, m.second.OwnSystemPlayer(), 0x7, std::nullopt});
    const auto changed = m.Events<action::HostChanged>(m.first);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].host, m.second.OwnSystemPlayer());
    EXPECT_EQ(m.first.Names().Host(), m.second.OwnSystemPlayer());
}

TEST(PeerAuthority, AGameMessageCountsOnlyFromTheMachineOwningItsSender) {
    ThreeMachines m;
    Injector second = From(m, m.second, kSecondIp);
    second.Game(m.pilot, m.first.OwnPlayer());           // the host's player, by another machine
    second.Game(0x0BADF00D, m.first.OwnPlayer());        // nobody's
    m.first.OnDatagram({kSecondIp, m.second.UdpPort()},  // the same by UDP
                       EncodeGameDatagram({m.pilot, 0, {0x18, 0x10}}, true, {}));
    EXPECT_TRUE(m.Events<action::Deliver>(m.first).empty());

    second.Game(m.second.OwnPlayer(), m.first.OwnPlayer());
    m.first.OnDatagram({kHostIp, m.host.UdpPort()}, EncodeGameDatagram({m.pilot, 0, {0x18, 0x10}}, true, {}));
    const auto delivered = m.Events<action::Deliver>(m.first);
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].from, m.second.OwnPlayer());
    EXPECT_EQ(delivered[1].from, m.pilot);
}

// The host notices a machine that went without a word and tells the others.
TEST(VanishedMachine, TheHostDeletesItsPlayersEverywhereOnceItIsSilentAndRefuses) {
    ThreeMachines m;
    const PlayerId gone = m.second.OwnPlayer();
    m.net.Vanish(m.second);
    m.net.AdvanceBy(Millis{14000});
    EXPECT_FALSE(m.Destroyed(m.host, gone)) << "not before " << PeerConfig{}.silence_limit.count() << " ms";
    m.net.AdvanceBy(Millis{2000});
    EXPECT_TRUE(m.Destroyed(m.host, gone));
    EXPECT_TRUE(m.Destroyed(m.first, gone)) << "told by the host";
    EXPECT_EQ(m.first.Names().FindPlayer(m.second.OwnSystemPlayer()), nullptr);
}

// Where nobody tells, a client finds out for itself, and does not knock at a
// dead listener at every send meanwhile.
TEST(VanishedMachine, AClientDropsASilentMachineThatRefusesAndStopsRetryingIt) {
    ThreeMachines m;
    m.net.DropFrom(
        m.host, [](const SystemMessage& message) { return std::holds_alternative<DeletePlayer>(message); });
    const PlayerId gone = m.second.OwnPlayer();
    m.net.Vanish(m.second);
    for (int second = 0; second < 14; ++second) {
        m.first.SendGameMessage(m.first.OwnPlayer(), gone, std::vector<std::uint8_t>{0x20, 0x10}, true);
        m.net.AdvanceBy(Millis{1000});
    }
    EXPECT_FALSE(m.Destroyed(m.first, gone));
    EXPECT_LE(m.net.ConnectsTo(m.first, m.ListenerOf(m.second, kSecondIp)), 3) << "one try per 5 s at most";
    m.net.AdvanceBy(Millis{2000});
    EXPECT_TRUE(m.Destroyed(m.first, gone));
    EXPECT_FALSE(m.first.SendGameMessage(m.first.OwnPlayer(), gone, std::vector<std::uint8_t>{1}, true));
}

TEST(VanishedMachine, ASilentMachineThatStillListensStays) {
    ThreeMachines m;
    m.net.AdvanceBy(Millis{60000});
    EXPECT_TRUE(m.Events<action::PlayerDestroyed>(m.first).empty());
    EXPECT_TRUE(m.Events<action::PlayerDestroyed>(m.host).empty());
}

}  // namespace
}  // namespace tarnwick::directplay
