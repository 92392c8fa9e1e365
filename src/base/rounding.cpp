#include "base/rounding.h"

#include <cmath>
#include <limits>

namespace tarnwick {

double RoundHalfEven(double value) {
    // The floating-point environment rounds to nearest, halves to even, and
    // nothing in the program changes that mode.
    return std::nearbyint(value);
}

double RoundDecimals(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    // Exact powers of ten without a pow() call: this runs for every point the
    // scope and the scenery reader place.
    const double scale = decimals >= 0 && decimals <= 15 ? kPowers[decimals] : std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return RoundHalfEven(scaled) / scale;
}

namespace {
template <typename T>
T RoundedConversion(double value, const char* typeName) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<T>::max()))) {
        throw OverflowError(std::string("overflow: ") + std::to_string(value) + " does not fit " + typeName);
    }
    return static_cast<T>(rounded);
}

template <typename T>
T CheckedNarrow(std::int64_t value, const char* typeName) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        throw OverflowError(std::string("overflow: ") + std::to_string(value) + " does not fit " + typeName);
    }
    return static_cast<T>(value);
}
}  // namespace

std::int16_t ToI16(double value) { return RoundedConversion<std::int16_t>(value, "a 16-bit integer"); }
std::int32_t ToI32(double value) { return RoundedConversion<std::int32_t>(value, "a 32-bit integer"); }
std::int16_t CheckedI16(std::int64_t value) { return CheckedNarrow<std::int16_t>(value, "a 16-bit integer"); }
std::int32_t CheckedI32(std::int64_t value) { return CheckedNarrow<std::int32_t>(value, "a 32-bit integer"); }

}  // namespace tarnwick
