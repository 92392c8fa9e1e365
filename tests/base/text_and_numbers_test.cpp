#include <gtest/gtest.h>

#include "base/ansi.h"
#include "base/json_writer.h"
#include "base/number_format.h"

namespace tarnwick {
namespace {

TEST(Ansi, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const auto back = Utf8ToAnsi(AnsiToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Ansi, MapsTheWindowsPunctuationRange) {
    EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(AnsiToUtf8("Z\xFCrich"), "Z\xC3\xBCrich");
    EXPECT_EQ(Utf8ToAnsi("\xE2\x80\x94"), std::string("\x97"));  // em dash
}

TEST(Ansi, RefusesWhatCannotBeStored) {
    EXPECT_FALSE(Utf8ToAnsi("\xE6\x9D\xB1\xE4\xBA\xAC"));  // CJK
    EXPECT_FALSE(Utf8ToAnsi("\xC3"));                      // cut-off sequence
    EXPECT_FALSE(Utf8ToAnsi("\xFF"));                      // not UTF-8 at all
    EXPECT_FALSE(Utf8ToAnsi("\xF0\x9F\x9B\xA9"));          // outside the basic plane
}

TEST(NumberFormat, GeneralNumbersDropTrailingZeros) {
    EXPECT_EQ(FormatGeneral(270), "270");
    EXPECT_EQ(FormatGeneral(270.5), "270.5");
    EXPECT_EQ(FormatGeneral(118.3), "118.3");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");  // 15 significant digits hide the binary tail
    EXPECT_EQ(FormatGeneral(47.44754), "47.44754");
}

TEST(NumberFormat, RoundTripFormReadsBackExactly) {
    for (double v : {0.1 + 0.2, -122.30999999999999, 1e-300, 47.4475}) {
        EXPECT_EQ(std::stod(FormatRoundTrip(v)), v);
    }
}

TEST(JsonWriter, NestsEscapesAndConvertsText) {
    JsonWriter json(false);
    json.BeginObject();
    json.Key("name").Ansi("Z\xFCrich \"Kloten\"\n");
    json.Key("list").BeginArray().Integer(1).Number(2.5).Bool(false).EndArray();
    json.Key("empty").BeginObject().EndObject();
    json.EndObject();
    EXPECT_EQ(json.Text(), R"({"name":"Z)"
                           "\xC3\xBC"
                           R"(rich \"Kloten\"\n","list":[1,2.5,false],"empty":{}})");
}

}  // namespace
}  // namespace tarnwick
