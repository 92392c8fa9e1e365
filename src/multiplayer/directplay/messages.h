#pragma once
// The DirectPlay system messages a joining client and a session host exchange,
// one small type each. A message's bytes start at the "play" signature (its
// body); every offset inside a message counts from there.
//
// Encode writes the whole body, signature and envelope included. Decode takes
// a body and throws MalformedMessage with the reason when anything in it is
// short, out of place or unsupported.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "multiplayer/directplay/protocol_constants.h"
#include "multiplayer/directplay/structures.h"

namespace tarnwick::directplay {

// Signature (4), command (2), dialect (2): the envelope before every body.
inline constexpr std::size_t kEnvelopeSize = 8;

struct EnumSessions {
    static constexpr Command kCommand = Command::kEnumSessions;
    Guid application;  // all zero asks for every application
    std::uint32_t flags = 0;
    std::optional<std::u16string> password;
    friend bool operator==(const EnumSessions&, const EnumSessions&) = default;
};

struct EnumSessionsReply {
    static constexpr Command kCommand = Command::kEnumSessionsReply;
    SessionDesc desc;
    std::u16string name;
    friend bool operator==(const EnumSessionsReply&, const EnumSessionsReply&) = default;
};

struct RequestPlayerId {
    static constexpr Command kCommand = Command::kRequestPlayerId;
    std::uint32_t flags = 0;  // 0x9 joins (system player), 0x8 a visible player
    friend bool operator==(const RequestPlayerId&, const RequestPlayerId&) = default;
};

struct RequestPlayerReply {
    static constexpr Command kCommand = Command::kRequestPlayerReply;
    PlayerId id = 0;
    std::uint32_t result = results::kOk;
    friend bool operator==(const RequestPlayerReply&, const RequestPlayerReply&) = default;
};

struct AddForwardRequest {
    static constexpr Command kCommand = Command::kAddForwardRequest;
    PlayerId id_to = 0;
    PlayerId player_id = 0;
    PlayerId group_id = 0;
    PlayerInfo player;  // the joiner's system player
    std::u16string password;
    // Called a tick count in the published layout; Windows sends the session's
    // reserved1 key from the enumeration reply. Hosts ignore it.
    std::uint32_t session_key = 0;
    friend bool operator==(const AddForwardRequest&, const AddForwardRequest&) = default;
};

struct AddForward {
    static constexpr Command kCommand = Command::kAddForward;
    PlayerId id_to = 0;
    PlayerId player_id = 0;
    PlayerId group_id = 0;
    PlayerInfo player;  // the new machine's system player, with its real address
    friend bool operator==(const AddForward&, const AddForward&) = default;
};

struct AddForwardAck {
    static constexpr Command kCommand = Command::kAddForwardAck;
    PlayerId id = 0;
    friend bool operator==(const AddForwardAck&, const AddForwardAck&) = default;
};

struct AddForwardReply {
    static constexpr Command kCommand = Command::kAddForwardReply;
    std::uint32_t error = 0;
    friend bool operator==(const AddForwardReply&, const AddForwardReply&) = default;
};

// The name table a host sends a joiner: superpacked players, then groups,
// then shortcut records.
struct SuperEnumPlayersReply {
    static constexpr Command kCommand = Command::kSuperEnumPlayersReply;
    SessionDesc desc;
    std::u16string name;
    std::optional<std::u16string> password;
    std::vector<PlayerInfo> players;
    std::vector<PlayerInfo> groups;
    std::vector<PlayerInfo> shortcuts;
    friend bool operator==(const SuperEnumPlayersReply&, const SuperEnumPlayersReply&) = default;
};

// The same with packed records, used by client/server sessions. Windows sends
// an uninitialised shortcut count here, so it is ignored.
struct EnumPlayersReply {
    static constexpr Command kCommand = Command::kEnumPlayersReply;
    SessionDesc desc;
    std::u16string name;
    std::optional<std::u16string> password;
    std::vector<PlayerInfo> players;
    std::vector<PlayerInfo> groups;
    friend bool operator==(const EnumPlayersReply&, const EnumPlayersReply&) = default;
};

// CREATEPLAYER, CREATEPLAYERVERIFY and CREATEGROUP: a packed record after
// five ids and offsets; the two player forms end in six zero bytes.
template <Command C>
struct Creation {
    static constexpr Command kCommand = C;
    PlayerId id_to = 0;
    PlayerId player_id = 0;
    PlayerId group_id = 0;
    PlayerInfo info;
    friend bool operator==(const Creation&, const Creation&) = default;
};
using CreatePlayer = Creation<Command::kCreatePlayer>;
using CreatePlayerVerify = Creation<Command::kCreatePlayerVerify>;
using CreateGroup = Creation<Command::kCreateGroup>;

// The 48-byte messages about one player (or child group) and one group.
template <Command C>
struct Membership {
    static constexpr Command kCommand = C;
    PlayerId id_to = 0;
    PlayerId player_id = 0;  // the child group for the two group-in-group forms
    PlayerId group_id = 0;   // the parent group for those
    friend bool operator==(const Membership&, const Membership&) = default;
};
using DeletePlayer = Membership<Command::kDeletePlayer>;
using DeleteGroup = Membership<Command::kDeleteGroup>;
using AddPlayerToGroup = Membership<Command::kAddPlayerToGroup>;
using DeletePlayerFromGroup = Membership<Command::kDeletePlayerFromGroup>;
using AddShortcutToGroup = Membership<Command::kAddShortcutToGroup>;
using DeleteGroupFromGroup = Membership<Command::kDeleteGroupFromGroup>;

template <Command C>
struct DataChanged {
    static constexpr Command kCommand = C;
    PlayerId id_to = 0;
    PlayerId id = 0;
    std::vector<std::uint8_t> data;
    friend bool operator==(const DataChanged&, const DataChanged&) = default;
};
using PlayerDataChanged = DataChanged<Command::kPlayerDataChanged>;
using GroupDataChanged = DataChanged<Command::kGroupDataChanged>;

template <Command C>
struct NameChanged {
    static constexpr Command kCommand = C;
    PlayerId id_to = 0;
    PlayerId id = 0;
    std::u16string short_name;  // empty = none
    std::u16string long_name;
    friend bool operator==(const NameChanged&, const NameChanged&) = default;
};
using PlayerNameChanged = NameChanged<Command::kPlayerNameChanged>;
using GroupNameChanged = NameChanged<Command::kGroupNameChanged>;

struct SessionDescChanged {
    static constexpr Command kCommand = Command::kSessionDescChanged;
    PlayerId id_to = 0;
    SessionDesc desc;
    std::u16string name;
    std::optional<std::u16string> password;
    friend bool operator==(const SessionDescChanged&, const SessionDescChanged&) = default;
};

// PING and PINGREPLY. Windows' reply carries the replier's own system player
// id and echoes the tick count.
template <Command C>
struct PingBody {
    static constexpr Command kCommand = C;
    PlayerId id_from = 0;
    std::uint32_t tick_count = 0;
    friend bool operator==(const PingBody&, const PingBody&) = default;
};
using Ping = PingBody<Command::kPing>;
using PingReply = PingBody<Command::kPingReply>;

struct YouAreDead {
    static constexpr Command kCommand = Command::kYouAreDead;
    friend bool operator==(const YouAreDead&, const YouAreDead&) = default;
};

struct IAmNameServer {
    static constexpr Command kCommand = Command::kIAmNameServer;
    PlayerId id_to = 0;
    PlayerId host_id = 0;
    std::uint32_t flags = 0;
    std::optional<SpData> sp_data;
    friend bool operator==(const IAmNameServer&, const IAmNameServer&) = default;
};

// A game message whose own bytes would begin with the signature, wrapped so
// that the receiver does not take it for a system message.
struct PlayerWrapper {
    static constexpr Command kCommand = Command::kPlayerWrapper;
    std::vector<std::uint8_t> inner;
    friend bool operator==(const PlayerWrapper&, const PlayerWrapper&) = default;
};

// One fragment of a message too large for one datagram.
struct Packet {
    static constexpr Command kCommand = Command::kPacket;
    Guid message;
    std::uint32_t index = 0;
    std::uint32_t offset = 0;
    std::uint32_t total_packets = 0;
    std::uint32_t message_size = 0;
    std::vector<std::uint8_t> data;
    friend bool operator==(const Packet&, const Packet&) = default;
};

using SystemMessage =
    std::variant<EnumSessions, EnumSessionsReply, RequestPlayerId, RequestPlayerReply, AddForwardRequest,
                 AddForward, AddForwardAck, AddForwardReply, SuperEnumPlayersReply, EnumPlayersReply,
                 CreatePlayer, CreatePlayerVerify, CreateGroup, DeletePlayer, DeleteGroup, AddPlayerToGroup,
                 DeletePlayerFromGroup, AddShortcutToGroup, DeleteGroupFromGroup, PlayerDataChanged,
                 GroupDataChanged, PlayerNameChanged, GroupNameChanged, SessionDescChanged, Ping, PingReply,
                 YouAreDead, IAmNameServer, PlayerWrapper, Packet>;

// "ENUMSESSIONS" and so on, for logs.
std::string CommandName(Command command);
std::string CommandName(const SystemMessage& message);

// The body, from the signature on, in the given dialect.
std::vector<std::uint8_t> EncodeBody(const SystemMessage& message, std::uint16_t dialect = kNewestDialect);

struct DecodedBody {
    std::uint16_t dialect = 0;
    SystemMessage message;
};
// Accepts dialects 9 to 14. Throws MalformedMessage.
DecodedBody DecodeBody(std::span<const std::uint8_t> body);

// True when these bytes start with the "play" signature.
bool HasSignature(std::span<const std::uint8_t> bytes);

}  // namespace tarnwick::directplay
