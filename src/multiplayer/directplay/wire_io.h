#pragma once
// Bounds-checked reading and plain writing of DirectPlay message fields. Every
// read checks the bytes it needs first; a short or inconsistent message throws
// MalformedMessage with the reason, which the receiver logs before dropping it.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/byte_writer.h"
#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::directplay {

class MalformedMessage : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

class WireReader {
   public:
    explicit WireReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t U8() { return static_cast<std::uint8_t>(Little(1)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Little(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Little(4)); }
    // A width of 1, 2 or 4 bytes, as the superpacked player's size codes give.
    std::uint32_t Sized(std::size_t width) { return static_cast<std::uint32_t>(Little(width)); }
    Guid ReadGuid();
    // SOCKADDR_IN: family (little-endian), port and address in network order,
    // eight bytes of padding. The family is not checked: only IPv4 exists here.
    Endpoint ReadSockAddr();
    std::span<const std::uint8_t> Bytes(std::size_t count);
    // A NUL-terminated UTF-16LE text; the terminator must lie inside the message.
    std::u16string Utf16z();
    // A text field of `length` bytes that holds a terminated UTF-16LE text.
    std::u16string Utf16Field(std::size_t length);

    // Moves to an offset counted from the start of this reader's bytes.
    void Seek(std::size_t offset, std::string_view what);
    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return bytes_.size() - offset_; }
    std::size_t Size() const { return bytes_.size(); }

   private:
    void Need(std::size_t count) const;
    std::uint64_t Little(std::size_t width) {
        Need(width);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) value |= std::uint64_t{bytes_[offset_ + i]} << (8 * i);
        offset_ += width;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

void WriteGuid(ByteWriter& out, const Guid& guid);
void WriteSockAddr(ByteWriter& out, const Endpoint& endpoint);
void WriteBytes(ByteWriter& out, std::span<const std::uint8_t> bytes);
// The text and its NUL terminator.
void WriteUtf16z(ByteWriter& out, std::u16string_view text);
// Bytes WriteUtf16z writes for this text.
inline std::size_t Utf16zSize(std::u16string_view text) { return 2 * (text.size() + 1); }

}  // namespace tarnwick::directplay
