#include "wire_samples.h"

#include <stdexcept>

namespace tarnwick::directplay::testing {

std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (value < 0) continue;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    if (high >= 0) throw std::invalid_argument("odd number of hex digits");
    return bytes;
}

PlayerInfo SamplePlayer(PlayerId id, PlayerId system_player, std::u16string name) {
    PlayerInfo p;
    p.flags = player_flags::kInGroup;
    p.id = id;
    p.system_player = system_player;
    p.short_name = std::move(name);
    p.long_name = u"Player";
    p.sp_data = SpData{{0x0A000002, 2301}, {0x0A000002, 2351}};
    p.data = {1, 2, 3};
    return p;
}

std::vector<SystemMessage> SampleMessages() {
    SessionDesc desc;
    desc.flags = session_flags::kMigrateHost | session_flags::kKeepAlive;
    desc.instance.bytes[0] = 0x8E;
    desc.application.bytes[15] = 0x5E;
    desc.max_players = 8;
    desc.current_players = 2;
    desc.reserved1 = 0x1E52A0A1;
    desc.user = {1, 2, 3, 4};

    PlayerInfo system;
    system.flags = player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup;
    system.id = 0x10;
    system.system_player = 0x10;
    system.version = 14;
    system.sp_data = SpData{{0, 2300}, {0, 2350}};
    PlayerInfo group;
    group.id = 0x30;
    group.short_name = u"FS61_REFUSE_PARAMS";
    group.members = {0x11, 0x12};
    group.parent = 0x31;
    PlayerInfo shortcut = group;
    shortcut.members.clear();
    shortcut.shortcuts = {0x32};
    PlayerInfo packed_system = system;

    Packet packet;
    packet.total_packets = 1;
    packet.data = {'p', 'l', 'a', 'y', 0x16, 0, 14, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    packet.message_size = 16;

    return {
        EnumSessions{desc.application, enum_flags::kAll, u"secret"},
        EnumSessionsReply{desc, u"KSEA ATC"},
        RequestPlayerId{0x9},
        RequestPlayerReply{0x11, results::kNoNewPlayers},
        AddForwardRequest{0, 0x11, 0, packed_system, u"pw", 0x1E52A0A1},
        AddForward{0, 0x11, 0, packed_system},
        AddForwardAck{0x11},
        AddForwardReply{results::kInvalidPassword},
        SuperEnumPlayersReply{
            desc, u"KSEA ATC", u"pw", {system, SamplePlayer(0x11, 0x10, u"Pilot")}, {group}, {shortcut}},
        EnumPlayersReply{
            desc, u"KSEA ATC", std::nullopt, {packed_system, SamplePlayer(0x11, 0x10, u"Pilot")}, {group}},
        CreatePlayer{0, 0x12, 0, SamplePlayer(0x12, 0x10, u"ATC Controller")},
        CreatePlayerVerify{0, 0x12, 0, SamplePlayer(0x12, 0x10, u"ATC Controller")},
        CreateGroup{0, 0x30, 0, group},
        DeletePlayer{0, 0x12, 0},
        DeleteGroup{0, 0, 0x30},
        AddPlayerToGroup{0, 0x12, 0x30},
        DeletePlayerFromGroup{0, 0x12, 0x30},
        AddShortcutToGroup{0, 0x32, 0x30},
        DeleteGroupFromGroup{0, 0x32, 0x30},
        PlayerDataChanged{0, 0x12, {9, 8, 7}},
        GroupDataChanged{0, 0x30, {6}},
        PlayerNameChanged{0, 0x12, u"New", u"Name"},
        GroupNameChanged{0, 0x30, u"", u"Long only"},
        SessionDescChanged{0, desc, u"Renamed", std::nullopt},
        Ping{0x10, 123456},
        PingReply{0x11, 123456},
        YouAreDead{},
        IAmNameServer{0, 0x10, 0x7, SpData{{0, 2300}, {0, 2350}}},
        PlayerWrapper{{'p', 'l', 'a', 'y', 1, 2, 3}},
        packet,
    };
}

}  // namespace tarnwick::directplay::testing
