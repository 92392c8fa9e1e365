#pragma once
// The structures DirectPlay messages embed: the session description, the
// Winsock service provider's address pair, and a player or group record in its
// packed and superpacked forms.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "multiplayer/directplay/protocol_constants.h"
#include "multiplayer/directplay/wire_io.h"

namespace tarnwick::directplay {

// DPSESSIONDESC2 without its two pointer placeholders, which travel as zero
// and are ignored on receipt (Windows fills them with garbage).
struct SessionDesc {
    std::uint32_t flags = 0;
    Guid instance;
    Guid application;
    std::uint32_t max_players = 0;
    std::uint32_t current_players = 0;
    std::uint32_t reserved1 = 0;  // the key player ids are XORed with
    std::uint32_t reserved2 = 0;
    std::array<std::uint32_t, 4> user{};
    friend bool operator==(const SessionDesc&, const SessionDesc&) = default;
};
inline constexpr std::size_t kSessionDescSize = 80;
void WriteSessionDesc(ByteWriter& out, const SessionDesc& desc);
SessionDesc ReadSessionDesc(WireReader& in);

// Where a machine listens: its TCP stream port and its UDP datagram port. A
// TCP address of 0.0.0.0 means "the machine this record came from", a UDP
// address of 0.0.0.0 "the computer of the TCP listener".
struct SpData {
    Endpoint tcp;
    Endpoint udp;
    friend bool operator==(const SpData&, const SpData&) = default;
};
inline constexpr std::size_t kSpDataSize = 32;
// Both addresses resolved, the TCP one against the sender's address.
SpData WithSenderAddress(SpData sp, std::uint32_t sender_ip);

// One player or group as the name table messages carry it. The same record
// serves both wire forms; `members` is used by groups only, `shortcuts` only
// by the superpacked form.
struct PlayerInfo {
    std::uint32_t flags = 0;
    PlayerId id = 0;
    PlayerId system_player = 0;  // the owning machine's system player (itself for one)
    std::uint32_t version = 0;   // the owner's dialect; known for system players
    PlayerId parent = 0;
    std::u16string short_name;  // empty = none
    std::u16string long_name;
    std::optional<SpData> sp_data;
    std::vector<std::uint8_t> data;
    std::vector<PlayerId> members;
    std::vector<PlayerId> shortcuts;
    bool IsSystemPlayer() const { return (flags & player_flags::kSystemPlayer) != 0; }
    friend bool operator==(const PlayerInfo&, const PlayerInfo&) = default;
};

// DPLAYI_PACKEDPLAYER: 48 fixed bytes, then names, SP data, player data, and
// the member ids (not counted in its Size field).
inline constexpr std::size_t kPackedPlayerFixedSize = 48;
std::size_t PackedPlayerSize(const PlayerInfo& player);
void WritePackedPlayer(ByteWriter& out, const PlayerInfo& player);
PlayerInfo ReadPackedPlayer(WireReader& in);

// DPLAYI_SUPERPACKEDPLAYER: 20 fixed bytes and a mask of the optional fields;
// player data comes before SP data here.
void WriteSuperPackedPlayer(ByteWriter& out, const PlayerInfo& player);
PlayerInfo ReadSuperPackedPlayer(WireReader& in);

}  // namespace tarnwick::directplay
