#include "scenery/scenery_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tarnwick {
namespace {

std::int32_t BitsOf(float value) {
    std::int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(SceneryValues, FloatBitsDecodeLikeTheFloatsTheyHold) {
    EXPECT_EQ(DecodeFloat32(0), 0.0);
    EXPECT_EQ(DecodeFloat32(0x3F800000), 1.0);
    EXPECT_EQ(DecodeFloat32(static_cast<std::int32_t>(0xC2C80000u)), -100.0);
    EXPECT_EQ(DecodeFloat32(0x41740000), 15.25);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> metres(-5000.0f, 5000.0f);
    for (int i = 0; i < 1000; ++i) {
        const float value = metres(random);
        if (value == 0.0f) continue;
        ASSERT_EQ(DecodeFloat32(BitsOf(value)), static_cast<double>(value)) << value;
    }
}

TEST(SceneryValues, FrequencyIsTheHexadecimalDigitsReadAsDecimal) {
    EXPECT_EQ(FrequencyText(0x01219000), "121.9");
    EXPECT_EQ(FrequencyText(0x01183250), "118.325");
    EXPECT_EQ(FrequencyText(0x00010000), "1");
    EXPECT_EQ(FrequencyText(0x5), "0.0005");
    EXPECT_EQ(FrequencyText(0), "0");
    EXPECT_EQ(FrequencyText(static_cast<std::int32_t>(0x99999999u)), "9999.9999") << "all eight digits";
    EXPECT_EQ(FrequencyText(0x0122A000), std::nullopt);
    EXPECT_EQ(FrequencyText(0x0F000000), std::nullopt) << "a digit A to F anywhere";
    EXPECT_EQ(FrequencyText(-1), std::nullopt);
}

TEST(SceneryValues, RunwayDesignators) {
    struct Case {
        std::int32_t number, code;
        const char *primary, *secondary;
    };
    const Case cases[] = {{9, 1, "9L", "27R"}, {36, 0, "36", "18"},  {18, 3, "18C", "36C"},
                          {1, 2, "1R", "19L"}, {27, 4, "27H", "9H"}, {19, 0, "19", "1"},
                          {37, 1, "37", ""},   {9, -1, "9", "27"},   {9, 5, "9", "27"}};
    for (const Case& c : cases) {
        const RunwayDesignators ids = DesignatorsFor(c.number, c.code);
        EXPECT_EQ(ids.Primary, c.primary) << c.number << "/" << c.code;
        EXPECT_EQ(ids.Secondary, c.secondary) << c.number << "/" << c.code;
    }
}

TEST(SceneryValues, UpperCaseFollowsTheAnsiCodePage) {
    EXPECT_EQ(UpperCaseAnsi("ksea"), "KSEA");
    EXPECT_EQ(UpperCaseAnsi("k\xE9\xF8"), "K\xC9\xD8");
    EXPECT_EQ(UpperCaseAnsi("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    EXPECT_EQ(UpperCaseAnsi("\xF7\xDF\xB5"), "\xF7\xDF\xB5") << "division sign, sharp s and micro stay";
}

}  // namespace
}  // namespace tarnwick
