#include "radar/text_metrics.h"

namespace tarnwick {

TextMetrics TextMetrics::Uniform(std::uint8_t advance, std::int32_t lineHeight) {
    TextMetrics metrics;
    metrics.Advance.fill(advance);
    metrics.LineHeight = lineHeight;
    return metrics;
}

TextMetrics DefaultTextMetrics() { return TextMetrics::Uniform(7, 14); }

TextExtent MeasureLine(const TextMetrics& metrics, std::string_view line) {
    if (line.empty()) return {};
    std::int32_t width = 0;
    for (const char c : line) width += metrics.Advance[static_cast<unsigned char>(c)];
    return {width, metrics.LineHeight};
}

PixelBox TextBoxAt(const TextMetrics& metrics, std::int32_t x, std::int32_t y, std::string_view line) {
    const TextExtent size = MeasureLine(metrics, line);
    return {x, y, x + size.Width, y + size.Height};
}

}  // namespace tarnwick
