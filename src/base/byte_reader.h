#pragma once
// Little-endian reading of the program's own binary files. Reading past the end
// throws EndOfData, so a caller decoding a record in place keeps the fields it
// got and leaves the rest at their empty values, as a short file demands.
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

namespace tarnwick {

class EndOfData : public std::runtime_error {
   public:
    explicit EndOfData(std::size_t offset)
        : std::runtime_error("the data ends at byte " + std::to_string(offset)), offset_(offset) {}
    std::size_t Offset() const { return offset_; }

   private:
    std::size_t offset_;
};

class ByteReader {
   public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
    std::int16_t I16() { return static_cast<std::int16_t>(Unsigned(2)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::int32_t I32() { return static_cast<std::int32_t>(Unsigned(4)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    double F64() { return std::bit_cast<double>(Unsigned(8)); }
    std::string Text();

    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return bytes_.size() - offset_; }
    bool AtEnd() const { return offset_ == bytes_.size(); }

   private:
    // Inline: the databases are decoded field by field.
    std::uint64_t Unsigned(int width) {
        const auto n = static_cast<std::size_t>(width);
        if (Remaining() < n) ThrowAtEnd();
        std::uint64_t value = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, bytes_.data() + offset_, n);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                value |= static_cast<std::uint64_t>(bytes_[offset_ + i]) << (8 * i);
        }
        offset_ += n;
        return value;
    }
    [[noreturn]] void ThrowAtEnd();
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

}  // namespace tarnwick
