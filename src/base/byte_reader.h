#pragma once
// Little-endian reading of the program's own binary files and of the session
// messages peers send. Every read checks the bytes it needs first; reading past
// the end throws EndOfData, so a caller decoding a record in place keeps the
// fields it got and leaves the rest at their empty values, as a short file
// demands, and a message decoder can say where the bytes ran out.
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

namespace tarnwick {

class EndOfData : public std::runtime_error {
   public:
    // `end`: the length of the data; `readAt` and `needed`: where the read that
    // failed began and how many bytes it wanted.
    EndOfData(std::size_t end, std::size_t readAt, std::size_t needed)
        : std::runtime_error("the data ends at byte " + std::to_string(end)),
          offset_(end),
          readAt_(readAt),
          needed_(needed) {}
    std::size_t Offset() const { return offset_; }
    std::size_t ReadAt() const { return readAt_; }
    std::size_t Needed() const { return needed_; }

   private:
    std::size_t offset_;
    std::size_t readAt_;
    std::size_t needed_;
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
    // The next `count` bytes as they are; the count is checked before anything
    // is read, so a length field from the wire cannot ask for more.
    std::span<const std::uint8_t> Bytes(std::size_t count);

    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return bytes_.size() - offset_; }
    bool AtEnd() const { return offset_ == bytes_.size(); }

   private:
    // Inline: the databases are decoded field by field.
    std::uint64_t Unsigned(int width) {
        const auto n = static_cast<std::size_t>(width);
        if (Remaining() < n) ThrowAtEnd(n);
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
    [[noreturn]] void ThrowAtEnd(std::size_t needed);
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

}  // namespace tarnwick
