#include "base/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarnwick {

std::string FormatGeneral(double value) {
    if (value == 0.0) return "0";  // also folds -0 to 0
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

std::string FormatRoundTrip(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace tarnwick
