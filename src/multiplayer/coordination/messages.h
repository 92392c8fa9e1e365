#pragma once
// The messages Tarnwick controllers send each other, one small type each.
// Every message is one DirectPlay message from a controller's player to
// another controller's player, little-endian:
//
//   u32 type    kMessageType, "TNWK" in its four bytes, far from FS2002's
//               0x1000-0x10FF, so that the game's decoder passes it over
//   u32 length  the number of bytes after these two fields
//   u8  version kFormatVersion
//   u8  kind    which message, then that kind's fields
//
// Encode gives a whole message; Decode reads a kind's fields from a reader
// placed after the kind byte and throws EndOfData or FieldError (received
// messages go through DecodeCoordinationMessage, message_decoder.h). Bytes
// after a kind's fields are left unread: a later revision of this version may
// add fields there.
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "multiplayer/coordination/strip_fields.h"
#include "state/traffic_table.h"

namespace tarnwick::coordination {

using MessageBytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kMessageType = 0x4B574E54;  // 'T' 'N' 'W' 'K'
inline constexpr std::uint8_t kFormatVersion = 1;
// Type, length, version and kind.
inline constexpr std::size_t kHeaderBytes = 10;
// No message of this version comes near it; a longer one is refused unread.
inline constexpr std::size_t kMaxMessageBytes = 512;

enum class Kind : std::uint8_t {
    Hello = 1,
    Assume = 2,
    Release = 3,
    Strip = 4,
    HandoffOffer = 5,
    HandoffAnswer = 6,
    HandoffCancel = 7,
    Text = 8,
};

// Which position the sender works and its nickname; sent to a controller
// when it is first known (asking for an answer) and to all when the position
// changes.
struct MsgHello {
    static constexpr Kind kKind = Kind::Hello;
    std::string Position;  // up to 16 bytes, e.g. "KSEA_APP"; empty until the controller names it
    std::string Nickname;  // up to 32 bytes
    // The receiver answers with its own Hello and what it owns.
    bool AnswerWanted = false;
    static MsgHello Decode(ByteReader& body);
    friend bool operator==(const MsgHello&, const MsgHello&) = default;
};

// The sender takes the aircraft, and the aircraft's version becomes Version.
// Held: not a new claim but a report of an aircraft the sender has held for
// a while, to a controller that has just arrived.
struct MsgAssume {
    static constexpr Kind kKind = Kind::Assume;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    bool Held = false;
    static MsgAssume Decode(ByteReader& body);
    friend bool operator==(const MsgAssume&, const MsgAssume&) = default;
};

// The owner gives the aircraft up; its version becomes Version.
struct MsgRelease {
    static constexpr Kind kKind = Kind::Release;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    static MsgRelease Decode(ByteReader& body);
    friend bool operator==(const MsgRelease&, const MsgRelease&) = default;
};

// The owner's strip of the aircraft at its version: every field, so that the
// last one received is the strip.
struct MsgStrip {
    static constexpr Kind kKind = Kind::Strip;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    StripFields Fields;
    static MsgStrip Decode(ByteReader& body);
    friend bool operator==(const MsgStrip&, const MsgStrip&) = default;
};

// The owner offers the aircraft, at its version, to another controller.
struct MsgHandoffOffer {
    static constexpr Kind kKind = Kind::HandoffOffer;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    std::int32_t To = 0;  // the controller's player id
    static MsgHandoffOffer Decode(ByteReader& body);
    friend bool operator==(const MsgHandoffOffer&, const MsgHandoffOffer&) = default;
};

// The offered controller's answer to the offer made at Version, to every
// controller. An accepted handoff makes it the owner at Version + 1.
struct MsgHandoffAnswer {
    static constexpr Kind kKind = Kind::HandoffAnswer;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    bool Accepted = false;
    static MsgHandoffAnswer Decode(ByteReader& body);
    friend bool operator==(const MsgHandoffAnswer&, const MsgHandoffAnswer&) = default;
};

// The owner asks to withdraw its offer made at Version; the offered
// controller's program answers it with a refusal unless it has accepted.
struct MsgHandoffCancel {
    static constexpr Kind kKind = Kind::HandoffCancel;
    PlayerKey Aircraft;
    std::uint32_t Version = 0;
    static MsgHandoffCancel Decode(ByteReader& body);
    friend bool operator==(const MsgHandoffCancel&, const MsgHandoffCancel&) = default;
};

// A line from one controller to the others.
struct MsgText {
    static constexpr Kind kKind = Kind::Text;
    std::string Line;  // 1 to 255 bytes
    static MsgText Decode(ByteReader& body);
    friend bool operator==(const MsgText&, const MsgText&) = default;
};

// Whole messages; FieldError (wire_fields.h) for a field the decoder would
// refuse. None is longer than kMaxMessageBytes.
MessageBytes Encode(const MsgHello& message);
MessageBytes Encode(const MsgAssume& message);
MessageBytes Encode(const MsgRelease& message);
MessageBytes Encode(const MsgStrip& message);
MessageBytes Encode(const MsgHandoffOffer& message);
MessageBytes Encode(const MsgHandoffAnswer& message);
MessageBytes Encode(const MsgHandoffCancel& message);
MessageBytes Encode(const MsgText& message);

}  // namespace tarnwick::coordination
