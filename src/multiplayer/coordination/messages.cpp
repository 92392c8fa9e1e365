#include "multiplayer/coordination/messages.h"

#include "base/byte_writer.h"
#include "multiplayer/coordination/wire_fields.h"

namespace tarnwick::coordination {
namespace {

// Strip fields present, in the order they follow the mask. Bits above these
// announce fields a later revision appends; a reader of this one leaves them
// unread with the rest of the message.
constexpr std::uint8_t kAltitudeBit = 0x01;
constexpr std::uint8_t kHeadingBit = 0x02;
constexpr std::uint8_t kSpeedBit = 0x04;
constexpr std::uint8_t kScratchpadBit = 0x08;
constexpr std::uint8_t kRouteBit = 0x10;
constexpr std::uint8_t kRemarksBit = 0x20;

constexpr std::uint8_t kAnswerWantedFlag = 0x01;
constexpr std::uint8_t kHeldFlag = 0x01;

// The writer with the header in place; Finish fills in the length.
ByteWriter Start(Kind kind) {
    ByteWriter writer;
    writer.U32(kMessageType);
    writer.U32(0);
    writer.U8(kFormatVersion);
    writer.U8(static_cast<std::uint8_t>(kind));
    return writer;
}

MessageBytes Finish(ByteWriter& writer) {
    MessageBytes bytes = writer.Take();
    const auto length = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return bytes;
}

// An assignment read from the wire, within the values it may take.
std::int32_t Checked(StripField field, std::int32_t value) {
    if (std::string problem = AssignmentProblem(field, value); !problem.empty()) throw FieldError(problem);
    return value;
}

}  // namespace

MsgHello MsgHello::Decode(ByteReader& body) {
    MsgHello message;
    message.Position = ReadText(body, "the position", kMaxPositionBytes);
    message.Nickname = ReadText(body, "the nickname", kMaxNicknameBytes);
    message.AnswerWanted = (body.U8() & kAnswerWantedFlag) != 0;
    return message;
}

MsgAssume MsgAssume::Decode(ByteReader& body) {
    MsgAssume message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    message.Held = (body.U8() & kHeldFlag) != 0;
    return message;
}

MsgRelease MsgRelease::Decode(ByteReader& body) {
    MsgRelease message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    return message;
}

MsgStrip MsgStrip::Decode(ByteReader& body) {
    MsgStrip message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    const std::uint8_t mask = body.U8();
    StripFields& fields = message.Fields;
    if (mask & kAltitudeBit) fields.AssignedAltitude = Checked(StripField::Altitude, body.I32());
    if (mask & kHeadingBit) fields.AssignedHeading = Checked(StripField::Heading, body.U16());
    if (mask & kSpeedBit) fields.AssignedSpeed = Checked(StripField::Speed, body.U16());
    if (mask & kScratchpadBit)
        fields.Scratchpad = ReadText(body, "the scratchpad", kMaxScratchpadBytes, true);
    if (mask & kRouteBit) fields.Route = ReadText(body, "the route", kMaxRouteBytes, true);
    if (mask & kRemarksBit) fields.Remarks = ReadText(body, "the remarks", kMaxRemarksBytes, true);
    return message;
}

MsgHandoffOffer MsgHandoffOffer::Decode(ByteReader& body) {
    MsgHandoffOffer message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    message.To = body.I32();
    return message;
}

MsgHandoffAnswer MsgHandoffAnswer::Decode(ByteReader& body) {
    MsgHandoffAnswer message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    const std::uint8_t answer = body.U8();
    if (answer > 1) throw FieldError("the answer is " + std::to_string(answer) + ", neither 0 nor 1");
    message.Accepted = answer == 1;
    return message;
}

MsgHandoffCancel MsgHandoffCancel::Decode(ByteReader& body) {
    MsgHandoffCancel message;
    message.Aircraft = ReadAircraft(body);
    message.Version = body.U32();
    return message;
}

MsgText MsgText::Decode(ByteReader& body) { return {ReadText(body, "the line", kMaxTextLineBytes, true)}; }

MessageBytes Encode(const MsgHello& message) {
    ByteWriter writer = Start(MsgHello::kKind);
    WriteText(writer, "the position", message.Position, kMaxPositionBytes);
    WriteText(writer, "the nickname", message.Nickname, kMaxNicknameBytes);
    writer.U8(message.AnswerWanted ? kAnswerWantedFlag : 0);
    return Finish(writer);
}

MessageBytes Encode(const MsgAssume& message) {
    ByteWriter writer = Start(MsgAssume::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    writer.U8(message.Held ? kHeldFlag : 0);
    return Finish(writer);
}

MessageBytes Encode(const MsgRelease& message) {
    ByteWriter writer = Start(MsgRelease::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    return Finish(writer);
}

MessageBytes Encode(const MsgStrip& message) {
    const StripFields& fields = message.Fields;
    if (std::string problem = StripProblem(fields); !problem.empty()) throw FieldError(problem);
    ByteWriter writer = Start(MsgStrip::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    std::uint8_t mask = 0;
    if (fields.AssignedAltitude) mask |= kAltitudeBit;
    if (fields.AssignedHeading) mask |= kHeadingBit;
    if (fields.AssignedSpeed) mask |= kSpeedBit;
    if (fields.Scratchpad) mask |= kScratchpadBit;
    if (fields.Route) mask |= kRouteBit;
    if (fields.Remarks) mask |= kRemarksBit;
    writer.U8(mask);
    // StripProblem has checked the ranges: they fit these widths.
    if (fields.AssignedAltitude) writer.I32(*fields.AssignedAltitude);
    if (fields.AssignedHeading) writer.U16(static_cast<std::uint16_t>(*fields.AssignedHeading));
    if (fields.AssignedSpeed) writer.U16(static_cast<std::uint16_t>(*fields.AssignedSpeed));
    if (fields.Scratchpad) WriteText(writer, "the scratchpad", *fields.Scratchpad, kMaxScratchpadBytes, true);
    if (fields.Route) WriteText(writer, "the route", *fields.Route, kMaxRouteBytes, true);
    if (fields.Remarks) WriteText(writer, "the remarks", *fields.Remarks, kMaxRemarksBytes, true);
    return Finish(writer);
}

MessageBytes Encode(const MsgHandoffOffer& message) {
    ByteWriter writer = Start(MsgHandoffOffer::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    writer.I32(message.To);
    return Finish(writer);
}

MessageBytes Encode(const MsgHandoffAnswer& message) {
    ByteWriter writer = Start(MsgHandoffAnswer::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    writer.U8(message.Accepted ? 1 : 0);
    return Finish(writer);
}

MessageBytes Encode(const MsgHandoffCancel& message) {
    ByteWriter writer = Start(MsgHandoffCancel::kKind);
    WriteAircraft(writer, message.Aircraft);
    writer.U32(message.Version);
    return Finish(writer);
}

MessageBytes Encode(const MsgText& message) {
    ByteWriter writer = Start(MsgText::kKind);
    WriteText(writer, "the line", message.Line, kMaxTextLineBytes, true);
    return Finish(writer);
}

}  // namespace tarnwick::coordination
