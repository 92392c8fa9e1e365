#include "base/rounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarnwick {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.4999999), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5000001), -3.0);
}

TEST(Rounding, DecimalsRoundAtTheLastKeptPlace) {
    EXPECT_DOUBLE_EQ(RoundDecimals(1.234567, 5), 1.23457);
    EXPECT_DOUBLE_EQ(RoundDecimals(47.44750, 4), 47.4475);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.125, 2), 0.12);  // exactly representable half
    EXPECT_DOUBLE_EQ(RoundDecimals(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(RoundDecimals(-122.3129004, 6), -122.3129);
}

TEST(Rounding, ConversionsThatDoNotFitAreErrors) {
    EXPECT_EQ(ToI16(32767.4), 32767);
    EXPECT_EQ(ToI16(-32768.5), -32768);  // half to even stays in range
    EXPECT_THROW(ToI16(32767.5), OverflowError);
    EXPECT_THROW(ToI16(-32769.0), OverflowError);
    EXPECT_THROW(ToI32(3e9), OverflowError);
    EXPECT_THROW(ToI16(std::numeric_limits<double>::quiet_NaN()), OverflowError);
    EXPECT_EQ(CheckedI16(-32768), -32768);
    EXPECT_THROW(CheckedI16(40000), OverflowError);
    EXPECT_THROW(CheckedI32(int64_t{1} << 31), OverflowError);
}

}  // namespace
}  // namespace tarnwick
