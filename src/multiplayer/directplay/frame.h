#pragma once
// What travels on the sockets. TCP carries every system message and every
// guaranteed game message behind a 20-byte service provider header (the whole
// size, a token, and the sender's TCP listening address). UDP carries system
// messages behind the same header and game messages with no header at all.
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "multiplayer/directplay/messages.h"

namespace tarnwick::directplay {

inline constexpr std::size_t kSpHeaderSize = 20;
// The size field has 20 bits.
inline constexpr std::size_t kMaxMessageSize = 0xFFFFF;

struct SpHeader {
    std::uint32_t size = 0;   // whole message, header included
    std::uint32_t token = 0;  // 0xFAB, 0xCAB or 0xBAB
    Endpoint address;         // 0.0.0.0 = the address the message came from
};

// Throws MalformedMessage for a short header, a size below 20 or an unknown token.
SpHeader ReadSpHeader(std::span<const std::uint8_t> bytes);
void WriteSpHeader(ByteWriter& out, std::size_t size, const Endpoint& address);

// Game (player-to-player) messages. Sessions with the NOMESSAGEID flag leave
// out the two ids.
struct GameMessage {
    PlayerId from = 0;
    PlayerId to = 0;
    std::vector<std::uint8_t> payload;
    friend bool operator==(const GameMessage&, const GameMessage&) = default;
};

struct SystemFrame {
    Endpoint header_address;
    std::uint16_t dialect = 0;
    SystemMessage message;
};

using Inbound = std::variant<SystemFrame, GameMessage>;

// `sender` is the header's address: the sender's TCP listening port, with
// address 0.0.0.0 for "this machine".
std::vector<std::uint8_t> EncodeSystemFrame(const SystemMessage& message, const Endpoint& sender,
                                            std::uint16_t dialect = kNewestDialect);
// A guaranteed game message for TCP; wrapped when its own bytes would start
// with the signature.
std::vector<std::uint8_t> EncodeGameFrame(const GameMessage& message, bool with_ids, const Endpoint& sender,
                                          std::uint16_t dialect = kNewestDialect);
// An unguaranteed game message for UDP: headerless unless its bytes would be
// taken for a system message, in which case it goes wrapped.
std::vector<std::uint8_t> EncodeGameDatagram(const GameMessage& message, bool with_ids,
                                             const Endpoint& sender, std::uint16_t dialect = kNewestDialect);

// A whole TCP message as the reassembler hands it over. Wrapped and
// single-fragment game messages come out as game messages. Throws
// MalformedMessage.
Inbound DecodeTcpFrame(std::span<const std::uint8_t> frame, bool with_ids);
// A UDP datagram: a system message when it has a header and the signature at
// byte 20, a headerless game message otherwise.
Inbound DecodeDatagram(std::span<const std::uint8_t> datagram, bool with_ids);

}  // namespace tarnwick::directplay
