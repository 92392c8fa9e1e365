#include <gtest/gtest.h>

#include "multiplayer/directplay/name_table.h"

namespace tarnwick::directplay {
namespace {

constexpr std::uint32_t kHostIp = 0xC0A80001;   // 192.168.0.1
constexpr std::uint32_t kThirdIp = 0xC0A80003;  // 192.168.0.3

PlayerInfo Machine(PlayerId id, std::uint32_t ip, std::uint16_t tcp_port) {
    PlayerInfo p;
    p.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    p.id = id;
    p.system_player = id;
    p.version = 14;
    p.sp_data = SpData{{ip, tcp_port}, {ip, static_cast<std::uint16_t>(tcp_port + 50)}};
    return p;
}

PlayerInfo Visible(PlayerId id, PlayerId machine, std::u16string name) {
    PlayerInfo p;
    p.id = id;
    p.system_player = machine;
    p.short_name = std::move(name);
    return p;
}

TEST(DirectPlayNameTable, UnsetAddressesBecomeTheSendersAndGivenOnesStay) {
    NameTable table;
    table.AddPlayer(Machine(1, 0, 2300), kHostIp);         // the host about itself
    table.AddPlayer(Machine(2, kThirdIp, 2301), kHostIp);  // the host about a third machine
    EXPECT_EQ(table.FindPlayer(1)->sp_data->tcp, (Endpoint{kHostIp, 2300}));
    EXPECT_EQ(table.FindPlayer(1)->sp_data->udp, (Endpoint{kHostIp, 2350}));
    EXPECT_EQ(table.FindPlayer(2)->sp_data->tcp, (Endpoint{kThirdIp, 2301}));

    // A host that forwards a joiner's record as the joiner wrote it but for
    // its listener: the UDP port is on the joiner's computer, not the host's.
    PlayerInfo forwarded = Machine(3, 0, 2300);
    forwarded.sp_data->tcp.ip = kThirdIp;
    table.AddPlayer(forwarded, kHostIp);
    EXPECT_EQ(table.FindPlayer(3)->sp_data->udp, (Endpoint{kThirdIp, 2350}));
    PlayerInfo elsewhere = Machine(4, kThirdIp, 2302);
    elsewhere.sp_data->udp.ip = kHostIp;
    table.AddPlayer(elsewhere, kHostIp);
    EXPECT_EQ(table.FindPlayer(4)->sp_data->udp, (Endpoint{kHostIp, 2352})) << "a given address stays";
}

TEST(DirectPlayNameTable, GroupsTrackMembersAndRouteToTheirMachines) {
    NameTable table;
    table.AddPlayer(Machine(1, 0, 2300), kHostIp);
    table.AddPlayer(Machine(2, kThirdIp, 2301), kHostIp);
    table.AddPlayer(Visible(11, 1, u"Host pilot"), kHostIp);
    table.AddPlayer(Visible(21, 2, u"Other pilot"), kThirdIp);
    PlayerInfo group;
    group.id = 50;
    group.system_player = 1;
    group.short_name = u"FS61_REFUSE_PARAMS";
    group.members = {11};
    table.AddGroup(group, kHostIp);

    EXPECT_EQ(table.FindGroupByName(u"FS61_REFUSE_PARAMS"), 50u);
    EXPECT_TRUE(table.FindPlayer(11)->flags & player_flags::kInGroup);
    EXPECT_EQ(table.MachinesFor(50), (std::vector<PlayerId>{1}));
    EXPECT_TRUE(table.AddToGroup(21, 50));
    EXPECT_FALSE(table.AddToGroup(99, 50));
    EXPECT_EQ(table.MachinesFor(50), (std::vector<PlayerId>{1, 2}));
    EXPECT_EQ(table.MachinesFor(21), (std::vector<PlayerId>{2}));
    EXPECT_EQ(table.MachinesFor(kAllPlayers), (std::vector<PlayerId>{1, 2}));
    EXPECT_TRUE(table.RemoveFromGroup(11, 50));
    EXPECT_FALSE(table.FindPlayer(11)->flags & player_flags::kInGroup);
    EXPECT_EQ(table.VisiblePlayerCount(), 2u);
}

TEST(DirectPlayNameTable, RemovingASystemPlayerRemovesItsWholeMachine) {
    NameTable table;
    table.AddPlayer(Machine(1, 0, 2300), kHostIp);
    table.AddPlayer(Machine(2, kThirdIp, 2301), kHostIp);
    table.AddPlayer(Visible(11, 1, u"A"), kHostIp);
    table.AddPlayer(Visible(21, 2, u"B"), kThirdIp);
    table.AddPlayer(Visible(22, 2, u"C"), kThirdIp);
    PlayerInfo host_group;
    host_group.id = 50;
    host_group.system_player = 1;
    host_group.members = {11, 21};
    table.AddGroup(host_group, kHostIp);
    PlayerInfo third_group;
    third_group.id = 60;
    third_group.system_player = 2;
    table.AddGroup(third_group, kThirdIp);

    auto removed = table.RemovePlayer(2);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<PlayerId>{2, 21, 22}));
    EXPECT_EQ(table.FindGroup(50)->members, (std::vector<PlayerId>{11}));
    EXPECT_EQ(table.FindGroup(60), nullptr);
    EXPECT_EQ(table.SystemPlayers(), (std::vector<PlayerId>{1}));
    EXPECT_TRUE(table.RemovePlayer(2).empty());
}

TEST(DirectPlayNameTable, TheHostIsTheNameServerAndCanMove) {
    NameTable table;
    auto host = Machine(1, 0, 2300);
    host.flags |= player_flags::kNameServer;
    table.AddPlayer(host, kHostIp);
    table.AddPlayer(Machine(2, kThirdIp, 2301), kHostIp);
    EXPECT_EQ(table.Host(), 1u);
    EXPECT_FALSE(table.SetHost(99));
    EXPECT_TRUE(table.SetHost(2));
    EXPECT_EQ(table.Host(), 2u);
}

}  // namespace
}  // namespace tarnwick::directplay
