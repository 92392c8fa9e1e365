#include "multiplayer/game/message_decoder.h"

#include <type_traits>

namespace tarnwick {
namespace {

constexpr std::size_t kKnownTypes = std::variant_size_v<GameMessage> - 2;
static_assert(std::is_same_v<std::variant_alternative_t<kKnownTypes, GameMessage>, UnknownGameMessage>);
static_assert(std::is_same_v<std::variant_alternative_t<kKnownTypes + 1, GameMessage>, MalformedGameMessage>);

MessageHeader ReadHeader(ByteReader& reader) {
    MessageHeader header;
    header.Type = reader.I32();
    header.PayloadLength = reader.I32();
    return header;
}

// The payload of the known type whose code the header gives, trying the
// variant's alternatives from the I-th on.
template <std::size_t I = 0>
GameMessage DecodePayload(const MessageHeader& header, ByteReader& payload) {
    if constexpr (I == kKnownTypes) {
        return UnknownGameMessage{header};
    } else {
        using T = std::variant_alternative_t<I, GameMessage>;
        if (header.Type == T::kType) return T::Decode(payload, header.PayloadLength);
        return DecodePayload<I + 1>(header, payload);
    }
}

}  // namespace

GameMessage DecodeGameMessage(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    try {
        const MessageHeader header = ReadHeader(reader);
        return DecodePayload(header, reader);
    } catch (const EndOfData& end) {
        return MalformedGameMessage{"the message ends at byte " + std::to_string(end.ReadAt()) + ", " +
                                    std::to_string(end.Needed()) + " more were needed"};
    }
}

std::optional<MessageHeader> GameMessageHeader(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    try {
        return ReadHeader(reader);
    } catch (const EndOfData&) {
        return std::nullopt;
    }
}

std::optional<std::int32_t> GameMessageType(const GameMessage& message) {
    return std::visit(
        [](const auto& m) -> std::optional<std::int32_t> {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, UnknownGameMessage>) {
                return m.Header.Type;
            } else if constexpr (std::is_same_v<T, MalformedGameMessage>) {
                return std::nullopt;
            } else {
                return T::kType;
            }
        },
        message);
}

}  // namespace tarnwick
