#include "multiplayer/directplay/wire_io.h"

namespace tarnwick::directplay {

void WireReader::Need(std::size_t count) const {
    if (Remaining() < count)
        throw MalformedMessage("the message ends at byte " + std::to_string(bytes_.size()) + ", " +
                               std::to_string(count) + " more needed at byte " + std::to_string(offset_));
}

Guid WireReader::ReadGuid() {
    Need(16);
    Guid guid;
    for (std::size_t i = 0; i < 16; ++i) guid.bytes[i] = bytes_[offset_ + i];
    offset_ += 16;
    return guid;
}

Endpoint WireReader::ReadSockAddr() {
    Need(16);
    const auto* at = bytes_.data() + offset_;
    Endpoint endpoint;
    endpoint.port = static_cast<std::uint16_t>((at[2] << 8) | at[3]);
    endpoint.ip =
        (std::uint32_t{at[4]} << 24) | (std::uint32_t{at[5]} << 16) | (std::uint32_t{at[6]} << 8) | at[7];
    offset_ += 16;
    return endpoint;
}

std::span<const std::uint8_t> WireReader::Bytes(std::size_t count) {
    Need(count);
    const auto part = bytes_.subspan(offset_, count);
    offset_ += count;
    return part;
}

std::u16string WireReader::Utf16z() {
    std::u16string text;
    for (;;) {
        if (Remaining() < 2)
            throw MalformedMessage("a text starting before byte " + std::to_string(offset_) +
                                   " has no terminator inside the message");
        const auto unit = static_cast<char16_t>(U16());
        if (unit == 0) return text;
        text.push_back(unit);
    }
}

std::u16string WireReader::Utf16Field(std::size_t length) {
    if (length % 2 != 0 || length < 2)
        throw MalformedMessage("a text length of " + std::to_string(length) + " bytes is not a UTF-16 text");
    const auto field = Bytes(length);
    std::u16string text;
    for (std::size_t i = 0; i < field.size(); i += 2) {
        const auto unit = static_cast<char16_t>(field[i] | (field[i + 1] << 8));
        if (unit == 0) return text;
        text.push_back(unit);
    }
    throw MalformedMessage("a text of " + std::to_string(length) + " bytes has no terminator");
}

void WireReader::Seek(std::size_t offset, std::string_view what) {
    if (offset > bytes_.size())
        throw MalformedMessage(std::string(what) + " " + std::to_string(offset) + " lies beyond the " +
                               std::to_string(bytes_.size()) + "-byte message");
    offset_ = offset;
}

void WriteGuid(ByteWriter& out, const Guid& guid) {
    for (const auto b : guid.bytes) out.U8(b);
}

void WriteSockAddr(ByteWriter& out, const Endpoint& endpoint) {
    out.U16(2);  // AF_INET
    out.U8(static_cast<std::uint8_t>(endpoint.port >> 8));
    out.U8(static_cast<std::uint8_t>(endpoint.port));
    out.U8(static_cast<std::uint8_t>(endpoint.ip >> 24));
    out.U8(static_cast<std::uint8_t>(endpoint.ip >> 16));
    out.U8(static_cast<std::uint8_t>(endpoint.ip >> 8));
    out.U8(static_cast<std::uint8_t>(endpoint.ip));
    out.U32(0);
    out.U32(0);
}

void WriteBytes(ByteWriter& out, std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;  // an empty vector's data() may be null, which memcpy must not get
    out.Raw(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void WriteUtf16z(ByteWriter& out, std::u16string_view text) {
    for (const char16_t unit : text) out.U16(unit);
    out.U16(0);
}

}  // namespace tarnwick::directplay
