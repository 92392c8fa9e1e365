#include "base/byte_reader.h"

namespace tarnwick {

void ByteReader::ThrowAtEnd() {
    offset_ = bytes_.size();
    throw EndOfData(bytes_.size());
}

std::string ByteReader::Text() {
    const std::uint16_t length = U16();
    if (Remaining() < length) {
        offset_ = bytes_.size();
        throw EndOfData(bytes_.size());
    }
    std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_), length);
    offset_ += length;
    return text;
}

}  // namespace tarnwick
