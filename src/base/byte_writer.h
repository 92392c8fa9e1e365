#pragma once
// Little-endian, unpadded writing of the program's binary records.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class ByteWriter {
public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void I16(std::int16_t value) { Unsigned(static_cast<std::uint16_t>(value), 2); }
    void U16(std::uint16_t value) { Unsigned(value, 2); }
    void I32(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
    void U32(std::uint32_t value) { Unsigned(value, 4); }
    void F64(double value);
    // A u16 length and the bytes; throws std::length_error past 65535 bytes.
    void Text(std::string_view ansi);
    void Raw(std::string_view bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }
    std::size_t Size() const { return bytes_.size(); }
    void Reserve(std::size_t n) { bytes_.reserve(n); }

private:
    void Unsigned(std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tarnwick
