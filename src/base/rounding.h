#pragma once
// The program's integer conversions: doubles round to the nearest integer with
// halves going to the even neighbour, and a conversion that does not fit its
// target type is an error rather than a silent wrap-around.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarnwick {

class OverflowError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// Nearest integer value, halves to even (the value stays a double).
double RoundHalfEven(double value);

// Rounds to `decimals` places, halves to even at the last kept place.
double RoundDecimals(double value, int decimals);

// Rounded conversions; they throw OverflowError when the value does not fit.
std::int16_t ToI16(double value);
std::int32_t ToI32(double value);

// Integer narrowing that must not wrap.
std::int16_t CheckedI16(std::int64_t value);
std::int32_t CheckedI32(std::int64_t value);

}  // namespace tarnwick
