#pragma once
// The FS2002 multiplayer application messages the program sends or reads, one
// small type each. Encode gives a whole message (header and payload); Decode
// takes the payload from a reader placed after the header and throws
// EndOfData when the bytes end before the fields the type needs. Received
// messages are decoded by DecodeGameMessage (message_decoder.h), which calls
// these. Texts are Windows-1252 bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "multiplayer/game/wire_message.h"

namespace tarnwick {

using MessageBytes = std::vector<std::uint8_t>;

// Messages whose payload is empty when sent and never read when received.
template <std::int32_t kTypeCode>
struct EmptyMessage {
    static constexpr std::int32_t kType = kTypeCode;
    static EmptyMessage Decode(ByteReader&, std::int32_t) { return {}; }
};

using MsgJoinRequest = EmptyMessage<0x1001>;
using MsgObserverJoinRequest = EmptyMessage<0x1002>;
using MsgJoinRefuse = EmptyMessage<0x1005>;
using MsgObserverRefuse = EmptyMessage<0x1006>;
using MsgIdentifyRequest = EmptyMessage<0x1007>;
using MsgJoinRetry = EmptyMessage<0x1008>;
using MsgAircraftInfoRequest = EmptyMessage<0x100F>;
using MsgHostLeft = EmptyMessage<0x1012>;
using MsgRemovedByHost = EmptyMessage<0x1016>;

// The accepted player's id, or in an answer to MsgIdentifyRequest the
// answering player's own id.
struct MsgJoinAccept {
    static constexpr std::int32_t kType = 0x1003;
    std::int32_t PlayerId = 0;
    static MsgJoinAccept Decode(ByteReader& payload, std::int32_t payloadLength);
};

struct MsgObserverAccept {
    static constexpr std::int32_t kType = 0x1004;
    std::int32_t PlayerId = 0;
    static MsgObserverAccept Decode(ByteReader& payload, std::int32_t payloadLength);
};

struct MsgAircraftInfo {
    static constexpr std::int32_t kType = 0x100E;
    std::int16_t CategoryCode = 0;
    // Zero bytes are left out wherever they stand.
    std::string Title;
    static MsgAircraftInfo Decode(ByteReader& payload, std::int32_t payloadLength);
};

// The fields of a position report the program uses, as raw words (see
// wire_values.h for their meaning).
struct PositionWords {
    std::int32_t AttitudeWord = 0;
    std::int32_t LatitudeWord = 0;
    std::int32_t LongitudeWord = 0;
    std::int32_t AltitudeMetres = 0;
};

// 7 int32 then 3 int16: three unused words, attitude, latitude, longitude,
// altitude.
struct MsgPosition {
    static constexpr std::int32_t kType = 0x1018;
    PositionWords Words;
    static MsgPosition Decode(ByteReader& payload, std::int32_t payloadLength);
};

// 11 int32 then 3 int16: seven unused words, then the four of MsgPosition.
struct MsgPositionLong {
    static constexpr std::int32_t kType = 0x1019;
    PositionWords Words;
    static MsgPositionLong Decode(ByteReader& payload, std::int32_t payloadLength);
};

// Sent with a length field of 2n for n characters and 3n payload bytes: the
// characters, then 2n zero bytes. Read as the first (length - 1) payload
// bytes when the length is above 1.
struct MsgChat {
    static constexpr std::int32_t kType = 0x1023;
    std::string Text;
    static MsgChat Decode(ByteReader& payload, std::int32_t payloadLength);
};

template <std::int32_t kTypeCode>
MessageBytes Encode(const EmptyMessage<kTypeCode>&) {
    return MessageBuilder().AppendLong(kTypeCode).AppendLong(0).Take();
}
MessageBytes Encode(const MsgJoinAccept& message);
MessageBytes Encode(const MsgObserverAccept& message);
MessageBytes Encode(const MsgAircraftInfo& message);
MessageBytes Encode(const MsgPosition& message);
MessageBytes Encode(const MsgPositionLong& message);
MessageBytes Encode(const MsgChat& message);
// The form FS2002 peers send: the characters and one terminating zero, all
// counted by the length field.
MessageBytes EncodeTerminated(const MsgChat& message);

}  // namespace tarnwick
