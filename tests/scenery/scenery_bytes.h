#pragma once
// Scenery file bytes laid out by hand: every value is placed at an absolute
// offset chosen by the test, so a fixture reads like the layout it exercises.
// The bytes grow with zeros as values are placed further on.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "scenery/scenery_buffer.h"

namespace tarnwick::testing {

class SceneryBytes {
   public:
    SceneryBytes& I32(std::int64_t offset, std::int64_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) Byte(offset + i, static_cast<std::uint8_t>(bits >> (8 * i)));
        return *this;
    }
    SceneryBytes& F32(std::int64_t offset, float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return I32(offset, bits);
    }
    SceneryBytes& Text(std::int64_t offset, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            Byte(offset + static_cast<std::int64_t>(i), static_cast<std::uint8_t>(text[i]));
        }
        return *this;
    }
    // The framing every block, entry and sub-record starts with.
    SceneryBytes& Header(std::int64_t offset, std::int64_t type, std::int64_t bodyLength) {
        return I32(offset, type).I32(offset + 4, bodyLength);
    }
    SceneryBytes& Byte(std::int64_t offset, std::uint8_t value) {
        const auto at = static_cast<std::size_t>(offset);
        if (bytes_.size() <= at) bytes_.resize(at + 1);
        bytes_[at] = value;
        return *this;
    }
    // Ends the bytes at `size`, padding with zeros or cutting them off.
    SceneryBytes& Resize(std::size_t size) {
        bytes_.resize(size);
        return *this;
    }

    // A file header with the marker, the section flag and the section offsets.
    static SceneryBytes File(std::int64_t airportSection, std::int64_t airspaceSection) {
        SceneryBytes file;
        file.I32(118, 0x87654321).I32(144, 1).I32(156, airportSection).I32(164, airspaceSection);
        return file;
    }

    std::size_t Size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }
    SceneryBuffer Buffer() const { return SceneryBuffer(bytes_, "test.bgl"); }

   private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tarnwick::testing
