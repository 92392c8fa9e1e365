#include "multiplayer/coordination/message_decoder.h"

#include <optional>
#include <type_traits>

#include "multiplayer/coordination/wire_fields.h"

namespace tarnwick::coordination {
namespace {

// The kinds this program reads, tried in order.
constexpr std::size_t kKnownKinds = std::variant_size_v<CoordinationMessage> - 3;
static_assert(
    std::is_same_v<std::variant_alternative_t<kKnownKinds, CoordinationMessage>, UnknownFormatVersion>);

template <std::size_t I = 0>
CoordinationMessage DecodeBody(std::uint8_t kind, ByteReader& body) {
    if constexpr (I == kKnownKinds) {
        return UnknownKind{kind};
    } else {
        using T = std::variant_alternative_t<I, CoordinationMessage>;
        if (kind == static_cast<std::uint8_t>(T::kKind)) return T::Decode(body);
        return DecodeBody<I + 1>(kind, body);
    }
}

MalformedCoordinationMessage Malformed(std::string reason) { return {std::move(reason)}; }

}  // namespace

bool IsCoordinationMessage(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) return false;
    return ByteReader(bytes).U32() == kMessageType;
}

CoordinationMessage DecodeCoordinationMessage(std::span<const std::uint8_t> bytes) {
    if (!IsCoordinationMessage(bytes)) return Malformed("not a coordination message");
    if (bytes.size() > kMaxMessageBytes) {
        return Malformed("the message is " + std::to_string(bytes.size()) + " bytes, at most " +
                         std::to_string(kMaxMessageBytes) + " are allowed");
    }
    if (bytes.size() < kHeaderBytes) {
        return Malformed("the message ends at byte " + std::to_string(bytes.size()) + ", before its kind");
    }
    ByteReader reader(bytes);
    reader.U32();
    const std::uint32_t length = reader.U32();
    if (length != bytes.size() - 8) {
        return Malformed("the length field says " + std::to_string(length) + " bytes follow, but " +
                         std::to_string(bytes.size() - 8) + " do");
    }
    const std::uint8_t version = reader.U8();
    const std::uint8_t kind = reader.U8();
    if (version != kFormatVersion) return UnknownFormatVersion{version};
    try {
        return DecodeBody(kind, reader);
    } catch (const EndOfData& end) {
        return Malformed("the message ends at byte " + std::to_string(end.ReadAt()) + ", " +
                         std::to_string(end.Needed()) + " more were needed");
    } catch (const FieldError& error) {
        return Malformed(error.what());
    }
}

std::optional<MessageBytes> EncodeAgain(const CoordinationMessage& message) {
    return std::visit(
        [](const auto& m) -> std::optional<MessageBytes> {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, UnknownFormatVersion> || std::is_same_v<T, UnknownKind> ||
                          std::is_same_v<T, MalformedCoordinationMessage>) {
                return std::nullopt;
            } else {
                return Encode(m);
            }
        },
        message);
}

}  // namespace tarnwick::coordination
