#pragma once
// Numbers fixed by DirectPlay 4 over its TCP/IP service provider: command
// codes, flag bits, dialects, ports and result codes.
#include <cstdint>

namespace tarnwick::directplay {

using PlayerId = std::uint32_t;

// Player id 0 addresses every player; it is never given to a player. Nor are
// the two ids DirectPlay keeps for itself: the server player of client/server
// sessions and "unknown".
inline constexpr PlayerId kAllPlayers = 0;
inline constexpr PlayerId kServerPlayer = 1;
inline constexpr PlayerId kUnknownPlayer = 0xFFFFFFFF;

enum class Command : std::uint16_t {
    kEnumSessionsReply = 0x01,
    kEnumSessions = 0x02,
    kEnumPlayersReply = 0x03,
    kRequestPlayerId = 0x05,
    kRequestPlayerReply = 0x07,
    kCreatePlayer = 0x08,
    kCreateGroup = 0x09,
    kDeletePlayer = 0x0B,
    kDeleteGroup = 0x0C,
    kAddPlayerToGroup = 0x0D,
    kDeletePlayerFromGroup = 0x0E,
    kPlayerDataChanged = 0x0F,
    kPlayerNameChanged = 0x10,
    kGroupDataChanged = 0x11,
    kGroupNameChanged = 0x12,
    kAddForwardRequest = 0x13,
    kPacket = 0x15,
    kPing = 0x16,
    kPingReply = 0x17,
    kYouAreDead = 0x18,
    kPlayerWrapper = 0x19,
    kSessionDescChanged = 0x1A,
    kAddForwardReply = 0x24,
    kAddShortcutToGroup = 0x27,
    kDeleteGroupFromGroup = 0x28,
    kSuperEnumPlayersReply = 0x29,
    kAddForward = 0x2E,
    kAddForwardAck = 0x2F,
    kIAmNameServer = 0x35,
    kCreatePlayerVerify = 0x38,
};

// Dialects: 9 (DirectX 6) to 14 (DirectX 9). Windows with DirectX 9 sends 14.
inline constexpr std::uint16_t kOldestDialect = 9;
inline constexpr std::uint16_t kNewestDialect = 14;

// The 12-bit token in the top of the first header word.
inline constexpr std::uint32_t kTokenRemote = 0xFAB;
inline constexpr std::uint32_t kTokenForwarded = 0xCAB;
inline constexpr std::uint32_t kTokenServer = 0xBAB;

// Session flags (DPSESSIONDESC2.dwFlags).
namespace session_flags {
inline constexpr std::uint32_t kNewPlayersDisabled = 0x1;
inline constexpr std::uint32_t kMigrateHost = 0x4;
inline constexpr std::uint32_t kNoMessageId = 0x8;
inline constexpr std::uint32_t kJoinDisabled = 0x20;
inline constexpr std::uint32_t kKeepAlive = 0x40;
inline constexpr std::uint32_t kSecureServer = 0x100;
inline constexpr std::uint32_t kPrivate = 0x200;
inline constexpr std::uint32_t kPasswordRequired = 0x400;
inline constexpr std::uint32_t kMulticastServer = 0x800;
inline constexpr std::uint32_t kClientServer = 0x1000;
inline constexpr std::uint32_t kDirectPlayProtocol = 0x2000;
}  // namespace session_flags

// ENUMSESSIONS request flags.
namespace enum_flags {
inline constexpr std::uint32_t kAvailable = 0x1;
inline constexpr std::uint32_t kAll = 0x2;
inline constexpr std::uint32_t kPasswordRequired = 0x40;
}  // namespace enum_flags

// Player and group flags.
namespace player_flags {
inline constexpr std::uint32_t kSystemPlayer = 0x1;
inline constexpr std::uint32_t kNameServer = 0x2;
inline constexpr std::uint32_t kInGroup = 0x4;
inline constexpr std::uint32_t kLocal = 0x8;
inline constexpr std::uint32_t kSpectator = 0x200;
}  // namespace player_flags

// Result codes carried in replies.
namespace results {
inline constexpr std::uint32_t kOk = 0;
inline constexpr std::uint32_t kNoNewPlayers = 0x8877014A;
inline constexpr std::uint32_t kCantCreatePlayer = 0x887700AA;
inline constexpr std::uint32_t kInvalidPassword = 0x88770154;
}  // namespace results

// Ports of the Winsock service provider.
inline constexpr std::uint16_t kEnumerationPort = 47624;
inline constexpr std::uint16_t kFirstTcpPort = 2300;
inline constexpr std::uint16_t kLastTcpPort = 2349;
inline constexpr std::uint16_t kFirstUdpPort = 2350;
inline constexpr std::uint16_t kLastUdpPort = 2399;

}  // namespace tarnwick::directplay
