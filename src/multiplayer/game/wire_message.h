#pragma once
// One session message's bytes: a builder that appends little-endian fields in
// order, and the header every message opens with. Received messages are read
// with ByteReader (see message_decoder.h): every read is checked against the
// message's end; a message shorter than its type needs is malformed, never a
// read beyond the bytes received.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/byte_writer.h"

namespace tarnwick {

// A message that is not the one the receiver expects, or too short for its type.
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

// Every message opens with its type and the length of the payload after them.
struct MessageHeader {
    std::int32_t Type = 0;
    std::int32_t PayloadLength = 0;
};

}  // namespace tarnwick
