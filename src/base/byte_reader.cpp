#include "base/byte_reader.h"

#include <bit>

namespace tarnwick {

std::uint64_t ByteReader::Unsigned(int width) {
    const auto n = static_cast<std::size_t>(width);
    if (Remaining() < n) {
        offset_ = bytes_.size();
        throw EndOfData(bytes_.size());
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < n; ++i) value |= static_cast<std::uint64_t>(bytes_[offset_ + i]) << (8 * i);
    offset_ += n;
    return value;
}

double ByteReader::F64() { return std::bit_cast<double>(Unsigned(8)); }

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
