#pragma once
// How wide and tall the scope's texts come out, for the aids that keep labels
// apart. A canvas measures with one table per font, filled from the font by
// the Qt layer; the recording canvas of the tools is handed the same table, so
// labels land where the window would put them.
#include <array>
#include <cstdint>
#include <string_view>

namespace tarnwick {

struct TextExtent {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool operator==(const TextExtent&) const = default;
};

struct TextMetrics {
    // The advance of each Windows-1252 byte, in pixels.
    std::array<std::uint8_t, 256> Advance{};
    // From one line's top to the next line's top.
    std::int32_t LineHeight = 0;

    // Every character `advance` wide: the table of a canvas that has no font.
    static TextMetrics Uniform(std::uint8_t advance, std::int32_t lineHeight);
};

// A canvas without a font of its own: about the scope font's size.
TextMetrics DefaultTextMetrics();

// One line: the sum of its bytes' advances, one line high; an empty line takes no room.
TextExtent MeasureLine(const TextMetrics& metrics, std::string_view line);

// A rectangle of pixels, right and bottom excluded.
struct PixelBox {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const PixelBox&) const = default;
};

// Where one line written with its top-left corner at (x, y) lies.
PixelBox TextBoxAt(const TextMetrics& metrics, std::int32_t x, std::int32_t y, std::string_view line);

}  // namespace tarnwick
