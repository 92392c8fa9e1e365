// A client and a host conversing through the two state machines alone, on an
// in-memory network with a fake clock.
#include <gtest/gtest.h>

#include "loopback_network.h"
#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/host_session.h"
#include "multiplayer/directplay/player_ids.h"

namespace tarnwick::directplay {
namespace {

using testing::FakeClock;
using testing::LoopbackNetwork;

constexpr std::uint32_t kHostIp = 0x0A000001;
constexpr std::uint32_t kClientIp = 0x0A000002;
constexpr std::uint32_t kSecondIp = 0x0A000003;

JoinRequest As(const std::string& name) {
    JoinRequest request;
    request.player_name = name;
    return request;
}

HostConfig Host(std::uint32_t flags = 0) {
    HostConfig config;
    config.session_name = "KSEA Approach";
    config.max_players = 8;
    config.session_flags = flags;
    config.seed = 7;
    return config;
}

struct Session : ::testing::Test {
    FakeClock clock;
    LoopbackNetwork net{clock};
    DirectPlayHost host{Host(), clock};
    DirectPlayClient client{ClientConfig{}, clock};
    PlayerId sim = 0;
    PlayerId group = 0;

    void SetUp() override {
        net.Add(host, kHostIp);
        net.Add(client, kClientIp);
        host.Start();
        net.Pump();
        sim = host.CreateLocalPlayer("Sim One");
        group = host.CreateGroup("FS61_REFUSE_PARAMS");
        host.AddLocalPlayerToGroup(sim, group);
    }

    SessionInfo Find(DirectPlayClient& who) {
        who.Enumerate(kHostIp);
        net.Pump();
        net.AdvanceBy(ClientConfig{}.enumeration_time + Millis{500});  // the search is over
        const auto found = net.EventsOf<action::SessionFound>(who);
        EXPECT_EQ(found.size(), 1u);
        EXPECT_EQ(net.EventsOf<action::EnumerationDone>(who).size(), 1u);
        return found.at(0).session;
    }

    void JoinAs(DirectPlayClient& who, const std::string& name) {
        const SessionInfo session = Find(who);
        who.Join(session, As(name));
        net.Pump();
        ASSERT_EQ(net.EventsOf<action::Joined>(who).size(), 1u);
    }
};

TEST_F(Session, ClientFindsJoinsTalksAndLeaves) {
    const SessionInfo session = Find(client);
    EXPECT_EQ(session.name, u"KSEA Approach");
    EXPECT_EQ(session.desc.current_players, 1u);
    EXPECT_EQ(session.desc.max_players, 8u);
    EXPECT_EQ(session.host.ip, kHostIp);
    EXPECT_EQ(session.host.port, host.TcpPort());

    client.Join(session, As("ATC Controller"));
    net.Pump();
    const auto joined = net.EventsOf<action::Joined>(client);
    ASSERT_EQ(joined.size(), 1u);
    const PlayerId me = joined[0].player;
    EXPECT_NE(me, 0u);
    EXPECT_EQ(joined[0].system_player, client.OwnSystemPlayer());
    // The host's player and group, and our player on the host.
    EXPECT_EQ(client.PlayerName(sim), "Sim One");
    EXPECT_EQ(client.Names().FindGroupByName(u"FS61_REFUSE_PARAMS"), group);
    EXPECT_EQ(client.Names().FindPlayer(host.OwnSystemPlayer())->sp_data->tcp,
              (Endpoint{kHostIp, host.TcpPort()}));
    EXPECT_EQ(host.PlayerName(me), "ATC Controller");
    EXPECT_EQ(net.EventsOf<action::PlayerCreated>(host).at(0).name, "ATC Controller");
    EXPECT_EQ(host.Names().FindPlayer(client.OwnSystemPlayer())->sp_data->tcp,
              (Endpoint{kClientIp, client.TcpPort()}));

    ASSERT_TRUE(client.AddOwnPlayerToGroup(group));
    net.Pump();
    EXPECT_EQ(host.Names().FindGroup(group)->members, (std::vector<PlayerId>{sim, me}));

    // Game messages, guaranteed both ways and unguaranteed from the host.
    const std::vector<std::uint8_t> join_request = {0x01, 0x10, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(client.SendGameMessage(me, kAllPlayers, join_request, true));
    ASSERT_TRUE(host.SendGameMessage(sim, me, std::vector<std::uint8_t>{0x03, 0x10, 0, 0}, true));
    ASSERT_TRUE(host.SendGameMessage(sim, kAllPlayers, std::vector<std::uint8_t>{0x18, 0x10}, false));
    net.Pump();
    const auto at_host = net.EventsOf<action::Deliver>(host);
    ASSERT_EQ(at_host.size(), 1u);
    EXPECT_EQ(at_host[0].from, me);
    EXPECT_EQ(at_host[0].to, kAllPlayers);
    EXPECT_EQ(at_host[0].payload, join_request);
    const auto at_client = net.EventsOf<action::Deliver>(client);
    ASSERT_EQ(at_client.size(), 2u);
    EXPECT_EQ(at_client[0].to, me);
    EXPECT_TRUE(at_client[0].guaranteed);
    EXPECT_EQ(at_client[1].payload, (std::vector<std::uint8_t>{0x18, 0x10}));
    EXPECT_FALSE(at_client[1].guaranteed);

    // A ping from the host is answered with our own system id and its tick count.
    const auto ping = EncodeSystemFrame(Ping{host.OwnSystemPlayer(), 4242}, {0, host.TcpPort()});
    client.OnDatagram({kHostIp, host.UdpPort()}, ping);
    const auto replies = client.TakeActions();
    ASSERT_EQ(replies.size(), 1u);
    const auto& reply = std::get<action::SendUdp>(replies[0]);
    EXPECT_EQ(reply.to, (Endpoint{kHostIp, host.UdpPort()}));
    EXPECT_TRUE(std::get<SystemFrame>(DecodeDatagram(reply.bytes, true)).message ==
                SystemMessage(PingReply{client.OwnSystemPlayer(), 4242}));

    // Leaving deletes our player and then our machine on the host.
    const PlayerId machine = client.OwnSystemPlayer();
    client.Leave();
    net.Pump();
    const auto received = net.Received(host);
    const auto deletes = std::count_if(received.begin(), received.end(), [](const SystemMessage& m) {
        return std::holds_alternative<DeletePlayer>(m);
    });
    EXPECT_EQ(deletes, 2);
    EXPECT_EQ(net.EventsOf<action::PlayerDestroyed>(host).at(0).id, me);
    EXPECT_EQ(host.Names().FindPlayer(machine), nullptr);
    EXPECT_EQ(host.Names().VisiblePlayerCount(), 1u);
}

TEST_F(Session, ASecondMachineIsForwardedAndPeersTalkDirectly) {
    DirectPlayClient second{ClientConfig{}, clock};
    net.Add(second, kSecondIp);
    JoinAs(client, "First");
    JoinAs(second, "Second");

    // The first machine was told of the second and acknowledged before the
    // second got the name table, which carries the first's real address.
    const auto at_host = net.Received(host);
    EXPECT_EQ(std::count_if(at_host.begin(), at_host.end(),
                            [](const SystemMessage& m) { return std::holds_alternative<AddForwardAck>(m); }),
              1);
    const PlayerInfo* first_machine = second.Names().FindPlayer(client.OwnSystemPlayer());
    ASSERT_NE(first_machine, nullptr);
    EXPECT_EQ(first_machine->sp_data->tcp, (Endpoint{kClientIp, client.TcpPort()}));
    EXPECT_EQ(second.PlayerName(client.OwnPlayer()), "First");
    // The second's player reached the first machine directly.
    EXPECT_EQ(client.PlayerName(second.OwnPlayer()), "Second");

    ASSERT_TRUE(
        second.SendGameMessage(second.OwnPlayer(), client.OwnPlayer(), std::vector<std::uint8_t>{7}, true));
    net.Pump();
    ASSERT_EQ(net.EventsOf<action::Deliver>(client).size(), 1u);
    EXPECT_TRUE(net.EventsOf<action::Deliver>(host).empty());

    second.Leave();
    net.Pump();
    EXPECT_EQ(client.Names().FindPlayer(second.OwnSystemPlayer()), nullptr);
    EXPECT_EQ(net.EventsOf<action::PlayerDestroyed>(client).size(), 1u);
}

TEST_F(Session, TheHostSendsTheNameTableAfterFifteenSecondsWithoutAcknowledgement) {
    DirectPlayClient second{ClientConfig{}, clock};
    net.Add(second, kSecondIp);
    JoinAs(client, "First");
    net.DropFrom(client, [](const SystemMessage& m) { return std::holds_alternative<AddForwardAck>(m); });
    second.Join(Find(second), As("Second"));
    net.AdvanceBy(Millis{14000});
    EXPECT_TRUE(net.EventsOf<action::Joined>(second).empty());
    net.AdvanceBy(Millis{1500});
    EXPECT_EQ(net.EventsOf<action::Joined>(second).size(), 1u);
}

TEST_F(Session, SessionsWithUnsupportedFlagsAreRefusedBeforeAnythingIsSent) {
    const SessionInfo found = Find(client);
    const std::pair<std::uint32_t, const char*> cases[] = {
        {session_flags::kSecureServer, "SECURESERVER"},
        {session_flags::kDirectPlayProtocol, "DIRECTPLAYPROTOCOL"},
        {session_flags::kClientServer, "CLIENTSERVER"}};
    for (const auto& [flag, name] : cases) {
        SessionInfo session = found;
        session.desc.flags |= flag;
        client.Join(session, As("ATC"));
        const auto actions = client.TakeActions();
        ASSERT_EQ(actions.size(), 1u);
        const auto& failed = std::get<action::JoinFailed>(actions[0]);
        EXPECT_NE(failed.reason.find(name), std::string::npos) << failed.reason;
    }
    EXPECT_EQ(client.CurrentState(), DirectPlayClient::State::kReady);
}

TEST_F(Session, AJoinThatCannotBeAnsweredFailsWithinFifteenSecondsNamingTheFirewall) {
    const SessionInfo session = Find(client);
    // The enumeration reply came on a connection the host opened before; now
    // nothing reaches us any more.
    net.DropFrom(host, [](const SystemMessage& m) { return std::holds_alternative<RequestPlayerReply>(m); });
    client.Join(session, As("ATC"));
    net.AdvanceBy(Millis{14500});
    EXPECT_TRUE(net.EventsOf<action::JoinFailed>(client).empty());
    net.AdvanceBy(Millis{1000});
    const auto failed = net.EventsOf<action::JoinFailed>(client);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].reason.find("firewall"), std::string::npos);
    EXPECT_NE(failed[0].reason.find("2300-2349"), std::string::npos);
}

TEST_F(Session, AHostThatCannotBeReachedFailsTheJoinAtOnce) {
    const SessionInfo session = Find(client);
    net.BlockInbound(host);
    client.Join(session, As("ATC"));
    net.Pump();
    const auto failed = net.EventsOf<action::JoinFailed>(client);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].reason.find("Could not connect"), std::string::npos);
}

TEST_F(Session, AFullSessionRefusesTheJoin) {
    const SessionInfo session = Find(client);
    for (int i = 0; i < 7; ++i) host.CreateLocalPlayer("Sim");
    client.Join(session, As("ATC"));
    net.Pump();
    const auto failed = net.EventsOf<action::JoinFailed>(client);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].reason.find("full"), std::string::npos);
}

TEST_F(Session, TheHostLeavingEndsTheSessionForTheClient) {
    JoinAs(client, "ATC");
    host.Leave();
    net.Pump();
    const auto lost = net.EventsOf<action::SessionLost>(client);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].reason.find("host left"), std::string::npos);
    EXPECT_EQ(net.EventsOf<action::PlayerDestroyed>(client).at(0).id, sim);
    EXPECT_EQ(client.CurrentState(), DirectPlayClient::State::kReady);
}

TEST_F(Session, AnOlderDialectHostIsJoined) {
    FakeClock other_clock;
    LoopbackNetwork other{other_clock};
    HostConfig config = Host();
    config.peer.dialect = 9;
    DirectPlayHost old_host{config, other_clock};
    DirectPlayClient joiner{ClientConfig{}, other_clock};
    other.Add(old_host, kHostIp);
    other.Add(joiner, kClientIp);
    old_host.Start();
    joiner.Enumerate(kHostIp);
    other.Pump();
    const auto found = other.EventsOf<action::SessionFound>(joiner);
    ASSERT_EQ(found.size(), 1u);
    joiner.Join(found[0].session, As("ATC"));
    other.Pump();
    EXPECT_EQ(other.EventsOf<action::Joined>(joiner).size(), 1u);
}

TEST(DirectPlayPlayerIds, IdsStayUniqueTakeAllThirtyTwoBitsAndHideTheirSequence) {
    PlayerIdAllocator ids(0xC3A17C0D);
    std::set<PlayerId> live;
    std::vector<PlayerId> order;
    for (int round = 0; round < 2000; ++round) {
        const auto id = ids.Allocate();
        ASSERT_TRUE(id);
        EXPECT_TRUE(live.insert(*id).second);
        EXPECT_LT(static_cast<std::int32_t>(*id), 0) << "the key's top bit shows in every id";
        order.push_back(*id);
        if (round % 3 == 2) {  // churn: free one, so its slot comes back with another counter
            ids.Release(order[order.size() - 2]);
            live.erase(order[order.size() - 2]);
        }
    }
    EXPECT_NE(order[1] - order[0], 1u);

    // Ids another host gave out stay taken, whatever their scheme, and those of
    // players that left do not come back at once.
    PlayerIdAllocator successor(0xC3A17C0D);
    for (const PlayerId taken : live) successor.Reserve(taken);
    for (int round = 0; round < 100; ++round) {
        const PlayerId id = successor.Allocate().value();
        EXPECT_FALSE(live.contains(id));
        EXPECT_NE(id, order.front()) << "the first id, long released";
    }
}

TEST(DirectPlayPlayerIds, TheIdsDirectPlayKeepsAreNeverGivenOut) {
    // Keys under which the first id would be 0, 1 (the server player) and
    // 0xFFFFFFFF (unknown).
    for (const std::uint32_t key : {0x00010000u, 0x00010001u, 0xFFFEFFFFu}) {
        PlayerIdAllocator ids(key);
        const PlayerId first = ids.Allocate().value();
        EXPECT_NE(first, kAllPlayers);
        EXPECT_NE(first, kServerPlayer);
        EXPECT_NE(first, kUnknownPlayer);
    }
}

}  // namespace
}  // namespace tarnwick::directplay
