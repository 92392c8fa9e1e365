// Sessions flagged MIGRATEHOST outlive their host: the machine first in line
// hosts from then on, and the others follow it.
#include <gtest/gtest.h>

#include "three_machines.h"

namespace tarnwick::directplay {
namespace {

using testing::kFirstIp;
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
