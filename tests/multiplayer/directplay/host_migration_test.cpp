// Sessions flagged MIGRATEHOST outlive their host: the machine first in line
// hosts from then on, and the others follow it.
#include <gtest/gtest.h>

#include "support/foreign_name_server.h"
#include "three_machines.h"

namespace tarnwick::directplay {
namespace {

using testing::kFirstIp;
using testing::kHostIp;
using testing::kSecondIp;
using testing::kThirdIp;
using testing::ThreeMachines;

constexpr std::uint32_t kMigrate = session_flags::kMigrateHost;

TEST(HostMigration, TheFirstInLineHostsAndALateMachineJoinsThroughIt) {
    ThreeMachines m(kMigrate, 0);  // ids grow: the first client is first in line
    m.host.Leave();
    m.net.Pump();
    for (const SessionPeer* client : {&m.first, &m.second}) {
        EXPECT_TRUE(m.Events<action::SessionLost>(*client).empty());
        const auto changed = m.Events<action::HostChanged>(*client);
        ASSERT_EQ(changed.size(), 1u);
        EXPECT_EQ(changed[0].host, m.first.OwnSystemPlayer());
        EXPECT_EQ(changed[0].this_machine, client == &m.first);
        EXPECT_EQ(client->Names().Host(), m.first.OwnSystemPlayer());
        EXPECT_TRUE(m.Destroyed(*client, m.pilot)) << "the host's players went with it";
    }
    EXPECT_TRUE(m.first.Serving());

    DirectPlayClient third{ClientConfig{}, m.clock};
    m.net.Add(third, kThirdIp);
    m.Join(third, "Third", kFirstIp);
    EXPECT_EQ(third.Names().Host(), m.first.OwnSystemPlayer());
    EXPECT_EQ(m.second.PlayerName(third.OwnPlayer()), "Third") << "the new host forwarded the machine";
    ASSERT_TRUE(third.SendGameMessage(third.OwnPlayer(), kAllPlayers, std::vector<std::uint8_t>{7}, true));
    m.net.Pump();
    EXPECT_EQ(m.Events<action::Deliver>(m.first).size(), 1u);
    EXPECT_EQ(m.Events<action::Deliver>(m.second).size(), 1u);
}

// The host leaves and a pilot's machine that is not this program's takes
// over: its name server tells the others of a late machine as a Windows host
// does (tarnwick::testing::ForeignNameServer). The program's machine hears the
// late machine's game messages by TCP and by UDP, whether every machine sits
// on DirectPlay's first ports of a computer of its own or the late one on
// ports no machine used before.
class ForeignNameServerTakesOver : public ::testing::TestWithParam<std::optional<std::uint16_t>> {
   protected:
    // Every machine on a computer of its own, on the first ports unless the
    // test's parameter puts the late one elsewhere.
    static constexpr std::uint16_t kFirstPort = kFirstTcpPort;

    void SetUp() override {
        net.Add(host, kHostIp, kFirstPort);
        net.Add(program, kFirstIp, kFirstPort);
        net.Add(pilot, kSecondIp, kFirstPort);
        host.Start();
        net.Pump();
        host.CreateLocalPlayer("Sim One");
        // Ids shrink with every machine: the pilot, joining after the program, is first in line.
        JoinAt(program, "ATC Controller", kHostIp);
        JoinAt(pilot, "Pilot", kHostIp);
        host.Leave();
        net.Pump();
        ASSERT_TRUE(pilot.Serving());
        ASSERT_EQ(program.Names().Host(), pilot.OwnSystemPlayer());
    }

    void JoinAt(DirectPlayClient& who, const std::string& name, std::uint32_t host_ip) {
        who.Enumerate(host_ip);
        net.Pump();
        const auto found = net.EventsOf<action::SessionFound>(who);
        ASSERT_FALSE(found.empty()) << "no session at " << IpText(host_ip);
        JoinRequest request;
        request.player_name = name;
        who.Join(found.back().session, request);
        net.Pump();
        ASSERT_EQ(who.CurrentState(), DirectPlayClient::State::kJoined) << name;
    }

    testing::FakeClock clock;
    testing::LoopbackNetwork net{clock};
    DirectPlayHost host{testing::ThreeMachinesHost(kMigrate, 0xFFFFFFFF), clock};
    DirectPlayClient program{ClientConfig{}, clock};
    tarnwick::testing::ForeignNameServer pilot{ClientConfig{}, clock};
};

TEST_P(ForeignNameServerTakesOver, ALateMachineIsHeardByTcpAndByUdp) {
    DirectPlayClient late{ClientConfig{}, clock};
    net.Add(late, kThirdIp, GetParam().value_or(kFirstPort));
    JoinAt(late, "Late", kSecondIp);
    EXPECT_EQ(pilot.Forwarded(), 1) << "the program's machine was told of the late one";
    EXPECT_EQ(pilot.Acknowledged(), 1);
    EXPECT_EQ(program.PlayerName(late.OwnPlayer()), "Late");
    const std::optional<SpData> recorded = program.Names().FindPlayer(late.OwnSystemPlayer())->sp_data;
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->tcp, (Endpoint{kThirdIp, late.TcpPort()}));
    EXPECT_EQ(recorded->udp, (Endpoint{kThirdIp, late.UdpPort()})) << "where its datagrams come from";

    net.Pump();
    net.Events(program).clear();
    ASSERT_TRUE(late.SendGameMessage(late.OwnPlayer(), kAllPlayers, std::vector<std::uint8_t>{1}, true));
    ASSERT_TRUE(late.SendGameMessage(late.OwnPlayer(), kAllPlayers, std::vector<std::uint8_t>{2}, false));
    net.Pump();
    const auto delivered = net.EventsOf<action::Deliver>(program);
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].from, late.OwnPlayer());
    EXPECT_EQ(delivered[1].from, late.OwnPlayer());
    EXPECT_FALSE(delivered[1].guaranteed);
    for (const auto& log : net.EventsOf<action::Log>(program))
        EXPECT_EQ(log.text.find("not from its own machine"), std::string::npos) << log.text;
}

// A host may pass the joiner's own header on with its record, naming the
// joiner there: addresses the record leaves at 0.0.0.0 are then the joiner's.
TEST_P(ForeignNameServerTakesOver, AnAddForwardUnderTheJoinersHeaderRecordsTheJoinersAddresses) {
    const std::uint16_t port = GetParam().value_or(kFirstPort);
    const auto udp = static_cast<std::uint16_t>(port + 50);
    PlayerInfo record;
    record.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    record.id = 0x00340012;
    record.system_player = record.id;
    record.version = kNewestDialect;
    record.sp_data = SpData{{kAnyAddress, port}, {kAnyAddress, udp}};
    const ConnectionId from_pilot = program.OnAccepted({kSecondIp, 50000});
    program.OnTcpData(
        from_pilot,
        EncodeSystemFrame(AddForward{program.OwnSystemPlayer(), record.id, 0, record}, {kThirdIp, port}));
    net.Pump();
    const PlayerInfo* late = program.Names().FindPlayer(record.id);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->sp_data, (SpData{{kThirdIp, port}, {kThirdIp, udp}}));
}

INSTANTIATE_TEST_SUITE_P(Ports, ForeignNameServerTakesOver,
                         ::testing::Values(std::nullopt, std::optional<std::uint16_t>(kLastTcpPort)),
                         [](const auto& ports) {
                             return ports.param ? "OnPortsNoMachineUsed" : "OnTheFirstPorts";
                         });

TEST(HostMigration, AnEnumerationPortStillHeldIsTriedAgainUntilItOpens) {
    ThreeMachines m(kMigrate, 0);
    m.net.HoldEnumerationPort(true);  // the old host's, say, not yet closed
    m.host.Leave();
    m.net.Pump();
    ASSERT_TRUE(m.first.Serving());
    m.net.AdvanceBy(Millis{6000});
    m.net.HoldEnumerationPort(false);
    m.net.AdvanceBy(Millis{6000});
    DirectPlayClient third{ClientConfig{}, m.clock};
    m.net.Add(third, kThirdIp);
    m.Join(third, "Third", kFirstIp);
}

TEST(HostMigration, AHostThatVanishesIsReplacedOnceItIsSilentAndRefuses) {
    ThreeMachines m(kMigrate, 0xFFFFFFFF);  // ids shrink: the second client is first in line
    m.net.Vanish(m.host);
    m.net.AdvanceBy(Millis{14000});
    EXPECT_TRUE(m.Events<action::HostChanged>(m.first).empty());
    m.net.AdvanceBy(Millis{2000});
    EXPECT_TRUE(m.second.Serving());
    ASSERT_EQ(m.Events<action::HostChanged>(m.first).size(), 1u);
    EXPECT_EQ(m.first.Names().Host(), m.second.OwnSystemPlayer());
    EXPECT_TRUE(m.Events<action::SessionLost>(m.first).empty());
}

TEST(HostMigration, OfTwoMachinesClaimingTheFirstInLineKeepsTheSession) {
    ThreeMachines m(kMigrate, 0);
    m.host.Leave();
    m.net.Pump();
    ASSERT_TRUE(m.first.Serving());
    // The second, later in line, claims as well (it saw the first go, say).
    const ConnectionId from_second = m.first.OnAccepted({kSecondIp, 50000});
    m.first.OnTcpData(from_second, EncodeSystemFrame(IAmNameServer{0, m.second.OwnSystemPlayer(), 0x7, {}},
                                                     {kAnyAddress, m.second.TcpPort()}));
    m.net.Pump();
    EXPECT_TRUE(m.first.Serving());
    const auto claims = m.net.Received(m.second);
    EXPECT_EQ(std::count_if(claims.begin(), claims.end(),
                            [](const SystemMessage& message) {
                                return std::holds_alternative<IAmNameServer>(message);
                            }),
              2)
        << "the first told the second again";
}

TEST(HostMigration, WithoutTheFlagTheHostsLeavingEndsTheSession) {
    ThreeMachines m(0, 0);
    m.net.Vanish(m.host);
    EXPECT_EQ(m.Events<action::SessionLost>(m.first).size(), 1u);
    EXPECT_FALSE(m.first.Serving());
}

}  // namespace
}  // namespace tarnwick::directplay
