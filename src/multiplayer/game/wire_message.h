#pragma once
// One session message's bytes: a builder that appends little-endian fields in
// order and a reader that takes them in order. Every read is checked against
// the message's end; a message shorter than its type needs is MalformedMessage,
// never a read beyond the bytes received.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace tarnwick {

class MalformedMessage : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

class MessageBuilder {
   public:
    MessageBuilder& AppendLong(std::int32_t value) {
        writer_.I32(value);
        return *this;
    }
    MessageBuilder& AppendShort(std::int16_t value) {
        writer_.I16(value);
        return *this;
    }
    MessageBuilder& AppendByte(std::uint8_t value) {
        writer_.U8(value);
        return *this;
    }
    std::vector<std::uint8_t> Take() { return writer_.Take(); }

   private:
    ByteWriter writer_;
};

class MessageReader {
   public:
    explicit MessageReader(std::span<const std::uint8_t> bytes) : reader_(bytes) {}

    std::int32_t ReadLong() {
        Need(4);
        return reader_.I32();
    }
    std::int16_t ReadShort() {
        Need(2);
        return reader_.I16();
    }
    std::uint8_t ReadByte() {
        Need(1);
        return reader_.U8();
    }
    // `count` bytes as characters; the count is checked before anything is
    // read or allocated, so a length field from the wire cannot ask for more.
    std::string ReadBytes(std::int64_t count);

    std::size_t Remaining() const { return reader_.Remaining(); }

   private:
    void Need(std::size_t count) const {
        if (reader_.Remaining() < count) ThrowShort(count);
    }
    [[noreturn]] void ThrowShort(std::size_t count) const;
    ByteReader reader_;
};

// Every message opens with its type and the length of the payload after them.
struct MessageHeader {
    std::int32_t Type = 0;
    std::int32_t PayloadLength = 0;
};

inline MessageHeader ReadHeader(MessageReader& reader) {
    MessageHeader header;
    header.Type = reader.ReadLong();
    header.PayloadLength = reader.ReadLong();
    return header;
}

}  // namespace tarnwick
