#include "scenery/wine_registry.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

const auto kEveryKey = [](std::string_view) { return true; };

TEST(WineRegistry, StringValuesOfTheWantedKeysWithEscapesUndone) {
    const std::string text =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\Machine\n"
        "\n"
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n"
        "#time=1da0000000000\n"
        "\"EXE Path\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\FS2002\"\r\n"
        "@=\"default\"\n"
        "\"Expand\"=str(2):\"%ProgramFiles%\\\\FS2002\"\n"
        "\"Multi\"=str(7):\"a\\0b\\0\"\n"
        "\"Count\"=dword:00000002\n"
        "\"Bytes\"=hex:00,01,\\\n"
        "  02,03\n"
        "\"Quote \\\"q\\\"\"=\"tab\\tnew\\nline \\\"x\\\" \\101\"\n"
        "[Software\\\\Other] 1700000000\n"
        "\"EXE Path\"=\"D:\\\\Elsewhere\"\n";

    const std::vector<RegistryKey> keys = ReadRegistryKeys(
        text, [](std::string_view path) { return path.find("Flight Simulator") != std::string_view::npos; });
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].Path, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0");
    const std::vector<RegistryString> expected = {
        {"EXE Path", "C:\\Program Files\\Microsoft Games\\FS2002"},
        {"", "default"},
        {"Expand", "%ProgramFiles%\\FS2002"},
        {"Quote \"q\"", "tab\tnew\nline \"x\" A"},
    };
    EXPECT_EQ(keys[0].Strings, expected);

    EXPECT_EQ(ReadRegistryKeys(text, kEveryKey).size(), 2u);
    EXPECT_TRUE(ReadRegistryKeys(text, [](std::string_view) { return false; }).empty());
}

TEST(WineRegistry, NonAsciiArrivesAsUtf16UnitsAndBecomesUtf8) {
    // Wine writes characters beyond ASCII as \x and up to four hex digits of
    // their UTF-16 units; a character outside the BMP as a surrogate pair.
    const std::string text =
        "[Software\\\\Caf\\xe9] 1\n"
        "\"Path\"=\"C:\\\\Jeux\\\\A\\x00e9roports\\\\\\xd83d\\xde80\"\n"
        "\"Lone\"=\"\\xd83dX\\xde80\"\n";
    const std::vector<RegistryKey> keys = ReadRegistryKeys(text, kEveryKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].Path, "Software\\Caf\xC3\xA9");
    ASSERT_EQ(keys[0].Strings.size(), 2u);
    EXPECT_EQ(keys[0].Strings[0].Value, "C:\\Jeux\\A\xC3\xA9roports\\\xF0\x9F\x9A\x80");
    // Halves of a pair on their own become the replacement character.
    EXPECT_EQ(keys[0].Strings[1].Value, "\xEF\xBF\xBDX\xEF\xBF\xBD");
}

TEST(WineRegistry, BrokenLinesArePassedOver) {
    const std::string text =
        "\"Before\"=\"any key\"\n"
        "[Unclosed\\\\Key\n"
        "\"InUnclosed\"=\"x\"\n"
        "[Good] 1\n"
        "\"Unterminated\"=\"abc\n"
        "\"NoEquals\" \"abc\"\n"
        "\"Trailing\\\n"
        "@\n"
        "\"Ok\"=\"fine\"\n"
        "\"Empty\"=\"\"\n";
    const std::vector<RegistryKey> keys = ReadRegistryKeys(text, kEveryKey);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].Path, "Good");
    const std::vector<RegistryString> expected = {{"Ok", "fine"}, {"Empty", ""}};
    EXPECT_EQ(keys[0].Strings, expected);
}

}  // namespace
}  // namespace tarnwick
