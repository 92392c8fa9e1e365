#pragma once
// Little-endian, unpadded writing of the program's binary records.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Texts are stored behind a 16-bit length.
inline constexpr std::size_t kMaxTextBytes = 0xFFFF;

class ByteWriter {
   public:
    void U8(std::uint8_t value) { Unsigned(value, 1); }
    void I16(std::int16_t value) { Unsigned(static_cast<std::uint16_t>(value), 2); }
    void U16(std::uint16_t value) { Unsigned(value, 2); }
    void I32(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
    void U32(std::uint32_t value) { Unsigned(value, 4); }
    void F64(double value);
    // A u16 length and the bytes; throws std::length_error past 65535 bytes.
    void Text(std::string_view ansi);
    void Raw(std::string_view bytes) { std::memcpy(Extend(bytes.size()), bytes.data(), bytes.size()); }

    const std::vector<std::uint8_t>& Bytes() {
        bytes_.resize(used_);
        return bytes_;
    }
    std::vector<std::uint8_t> Take() {
        bytes_.resize(used_);
        used_ = 0;
        return std::move(bytes_);
    }
    std::size_t Size() const { return used_; }
    void Reserve(std::size_t n) {
        if (n > bytes_.size()) bytes_.resize(n);
    }

   private:
    // Room for n more bytes; the buffer grows geometrically, and bytes past
    // used_ are never read, so growing does not need to clear them.
    std::uint8_t* Extend(std::size_t n) {
        if (used_ + n > bytes_.size())
            bytes_.resize(std::max<std::size_t>(2 * bytes_.size(), used_ + n + 256));
        std::uint8_t* at = bytes_.data() + used_;
        used_ += n;
        return at;
    }
    void Unsigned(std::uint64_t value, int width) {
        std::uint8_t* at = Extend(static_cast<std::size_t>(width));
        for (int i = 0; i < width; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t used_ = 0;
};

}  // namespace tarnwick
