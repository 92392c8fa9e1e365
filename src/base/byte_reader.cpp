#include "base/byte_reader.h"

namespace tarnwick {

void ByteReader::ThrowAtEnd(std::size_t needed) {
    const std::size_t readAt = offset_;
    offset_ = bytes_.size();
    throw EndOfData(bytes_.size(), readAt, needed);
}

std::string ByteReader::Text() {
    const std::uint16_t length = U16();
    const auto text = Bytes(length);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count) {
    if (Remaining() < count) ThrowAtEnd(count);
    const auto part = bytes_.subspan(offset_, count);
    offset_ += count;
    return part;
}

}  // namespace tarnwick
