#pragma once
// The one reading of a received coordination message: the header, the format
// version and the kind, then the kind's fields, every length and offset
// checked against the bytes received. Nothing a peer sends makes it throw: a
// version or kind this program does not know comes back as such, to be
// skipped with a note, and anything else that does not read as
// MalformedCoordinationMessage.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "multiplayer/coordination/messages.h"

namespace tarnwick::coordination {

// Whether the bytes are meant as a coordination message (their type field
// says so), however they read. Everything else a session delivers belongs to
// the game.
bool IsCoordinationMessage(std::span<const std::uint8_t> bytes);

struct UnknownFormatVersion {
    std::uint8_t Version = 0;
};

struct UnknownKind {
    std::uint8_t Kind = 0;
};

struct MalformedCoordinationMessage {
    // e.g. "the scratchpad is 20 bytes, at most 16 are allowed"
    std::string Reason;
};

using CoordinationMessage =
    std::variant<MsgHello, MsgAssume, MsgRelease, MsgStrip, MsgHandoffOffer, MsgHandoffAnswer,
                 MsgHandoffCancel, MsgText, UnknownFormatVersion, UnknownKind, MalformedCoordinationMessage>;

CoordinationMessage DecodeCoordinationMessage(std::span<const std::uint8_t> bytes);

// The bytes the program would send for a message it read; nothing for the
// three that are not messages.
std::optional<MessageBytes> EncodeAgain(const CoordinationMessage& message);

}  // namespace tarnwick::coordination
