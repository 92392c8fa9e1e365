#include "multiplayer/game/messages.h"

#include "base/rounding.h"

namespace tarnwick {
namespace {

// What the program keeps of a text of `count` bytes read from the wire: the
// characters, with the zero bytes that C strings and padding leave behind
// taken out.
std::string TextWithoutZeroBytes(ByteReader& payload, std::int64_t count) {
    const auto bytes = payload.Bytes(static_cast<std::size_t>(count));
    std::string text(bytes.begin(), bytes.end());
    std::erase(text, '\0');
    return text;
}

PositionWords ReadPositionWords(ByteReader& payload, int unusedWords) {
    for (int i = 0; i < unusedWords; ++i) payload.I32();
    PositionWords words;
    words.AttitudeWord = payload.I32();
    words.LatitudeWord = payload.I32();
    words.LongitudeWord = payload.I32();
    words.AltitudeMetres = payload.I32();
    for (int i = 0; i < 3; ++i) payload.I16();
    return words;
}

MessageBytes EncodePosition(std::int32_t type, std::int32_t length, const PositionWords& words,
                            int unusedWords) {
    MessageBuilder builder;
    builder.AppendLong(type).AppendLong(length);
    for (int i = 0; i < unusedWords; ++i) builder.AppendLong(0);
    builder.AppendLong(words.AttitudeWord)
        .AppendLong(words.LatitudeWord)
        .AppendLong(words.LongitudeWord)
        .AppendLong(words.AltitudeMetres);
    for (int i = 0; i < 3; ++i) builder.AppendShort(0);
    return builder.Take();
}

}  // namespace

MsgJoinAccept MsgJoinAccept::Decode(ByteReader& payload, std::int32_t) { return {payload.I32()}; }

MsgObserverAccept MsgObserverAccept::Decode(ByteReader& payload, std::int32_t) { return {payload.I32()}; }

MsgAircraftInfo MsgAircraftInfo::Decode(ByteReader& payload, std::int32_t payloadLength) {
    MsgAircraftInfo message;
    message.CategoryCode = payload.I16();
    if (payloadLength > 2) message.Title = TextWithoutZeroBytes(payload, std::int64_t{payloadLength} - 2);
    return message;
}

MsgPosition MsgPosition::Decode(ByteReader& payload, std::int32_t) { return {ReadPositionWords(payload, 3)}; }

MsgPositionLong MsgPositionLong::Decode(ByteReader& payload, std::int32_t) {
    return {ReadPositionWords(payload, 7)};
}

MsgChat MsgChat::Decode(ByteReader& payload, std::int32_t payloadLength) {
    MsgChat message;
    // The last counted byte is the terminating zero. Zero bytes inside the
    // text are dropped too: the padding of a 2n length over n characters
    // would otherwise end every line from this program with n - 1 of them.
    if (payloadLength > 1) message.Text = TextWithoutZeroBytes(payload, std::int64_t{payloadLength} - 1);
    return message;
}

MessageBytes Encode(const MsgJoinAccept& message) {
    return MessageBuilder()
        .AppendLong(MsgJoinAccept::kType)
        .AppendLong(4)
        .AppendLong(message.PlayerId)
        .Take();
}

MessageBytes Encode(const MsgObserverAccept& message) {
    return MessageBuilder()
        .AppendLong(MsgObserverAccept::kType)
        .AppendLong(4)
        .AppendLong(message.PlayerId)
        .Take();
}

MessageBytes Encode(const MsgAircraftInfo& message) {
    // The title goes out as a C string.
    MessageBuilder builder;
    builder.AppendLong(MsgAircraftInfo::kType)
        .AppendLong(CheckedI32(static_cast<std::int64_t>(message.Title.size()) + 3))
        .AppendShort(message.CategoryCode);
    for (char c : message.Title) builder.AppendByte(static_cast<std::uint8_t>(c));
    builder.AppendByte(0);
    return builder.Take();
}

MessageBytes Encode(const MsgPosition& message) {
    return EncodePosition(MsgPosition::kType, 34, message.Words, 3);
}

MessageBytes Encode(const MsgPositionLong& message) {
    return EncodePosition(MsgPositionLong::kType, 50, message.Words, 7);
}

MessageBytes Encode(const MsgChat& message) {
    const auto n = static_cast<std::int64_t>(message.Text.size());
    MessageBuilder builder;
    builder.AppendLong(MsgChat::kType).AppendLong(CheckedI32(2 * n));
    for (char c : message.Text) builder.AppendByte(static_cast<std::uint8_t>(c));
    for (std::int64_t i = 0; i < 2 * n; ++i) builder.AppendByte(0);
    return builder.Take();
}

MessageBytes EncodeTerminated(const MsgChat& message) {
    MessageBuilder builder;
    builder.AppendLong(MsgChat::kType)
        .AppendLong(CheckedI32(static_cast<std::int64_t>(message.Text.size()) + 1));
    for (char c : message.Text) builder.AppendByte(static_cast<std::uint8_t>(c));
    builder.AppendByte(0);
    return builder.Take();
}

}  // namespace tarnwick
