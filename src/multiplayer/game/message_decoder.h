#pragma once
// The one reading of a received FS2002 game message: the header, then the
// payload of the type the header names, every field checked against the
// bytes received. Nothing a peer sends makes it throw: a message too short for
// its header or its type comes back as MalformedGameMessage, and a sound
// header of a type the program does not read as UnknownGameMessage, so that
// each receiver decides what to pass over.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "multiplayer/game/messages.h"

namespace tarnwick {

// A message of a type the program does not read; its payload is not looked at.
struct UnknownGameMessage {
    MessageHeader Header;
};

// A message that ends before its header or before the fields its type needs.
struct MalformedGameMessage {
    // Where the bytes ran out, e.g. "the message ends at byte 8, 4 more were needed".
    std::string Reason;
};

// The two kinds of unread message stay last: the decoder tries the types in
// this order.
using GameMessage =
    std::variant<MsgJoinRequest, MsgObserverJoinRequest, MsgJoinAccept, MsgObserverAccept, MsgJoinRefuse,
                 MsgObserverRefuse, MsgIdentifyRequest, MsgJoinRetry, MsgAircraftInfo, MsgAircraftInfoRequest,
                 MsgHostLeft, MsgRemovedByHost, MsgPosition, MsgPositionLong, MsgChat, UnknownGameMessage,
                 MalformedGameMessage>;

GameMessage DecodeGameMessage(std::span<const std::uint8_t> bytes);

// The header as sent, for showing it; nothing when the bytes are too short
// for one.
std::optional<MessageHeader> GameMessageHeader(std::span<const std::uint8_t> bytes);

// The type code of a decoded message; nothing for a malformed one.
std::optional<std::int32_t> GameMessageType(const GameMessage& message);

// For receivers that expect one type of message: a whole message of type T.
// MalformedMessage when the message is malformed or of another type.
template <typename T>
T DecodeMessage(std::span<const std::uint8_t> bytes) {
    GameMessage message = DecodeGameMessage(bytes);
    if (const auto* malformed = std::get_if<MalformedGameMessage>(&message))
        throw MalformedMessage(malformed->Reason);
    if (auto* expected = std::get_if<T>(&message)) return std::move(*expected);
    throw MalformedMessage("a message of another type");
}

}  // namespace tarnwick
