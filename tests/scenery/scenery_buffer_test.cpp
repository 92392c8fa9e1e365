#include "scenery/scenery_buffer.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::Bytes;

SceneryBuffer Buffer(std::initializer_list<int> bytes) { return SceneryBuffer(Bytes(bytes), "test.bgl"); }

TEST(SceneryBuffer, ReadsSignedLittleEndianFields) {
    EXPECT_EQ(Buffer({0xFF, 0xFF, 0xFF, 0xFF}).ReadI32(0), -1);
    EXPECT_EQ(Buffer({0x00, 0x00, 0x00, 0x80}).ReadI32(0), -2147483647 - 1);
    EXPECT_EQ(Buffer({0x21, 0x43, 0x65, 0x87}).ReadI32(0), -2023406815);
    EXPECT_EQ(Buffer({0xFF, 0xFF}).ReadI16(0), -1);
    EXPECT_EQ(Buffer({0x00, 0x80}).ReadI16(0), -32768);
    EXPECT_EQ(Buffer({0xFF, 0x7F}).ReadI16(0), 32767);
    EXPECT_EQ(Buffer({9, 0xC8}).ReadU8(1), 200);
}

TEST(SceneryBuffer, TextSkipsZeroBytesWhereverTheyStand) {
    EXPECT_EQ(Buffer({'K', 'S', 'E', 0, 'A', 0}).ReadText(0, 6), "KSEA");
    EXPECT_EQ(Buffer({'K'}).ReadText(0, 0), "");
    EXPECT_EQ(Buffer({'K'}).ReadText(5, 0), "") << "an empty field reads nothing, wherever it is";
}

TEST(SceneryBuffer, TheSpareByteReadsAsZeroAndNothingBeyondIt) {
    const SceneryBuffer buffer = Buffer({1, 2, 3});
    EXPECT_EQ(buffer.Size(), 3);
    EXPECT_EQ(buffer.ReadU8(3), 0);
    EXPECT_EQ(buffer.ReadI32(0), 0x00030201);
    EXPECT_THROW(buffer.ReadI32(1), SceneryReadError);
    EXPECT_THROW(buffer.ReadU8(-1), SceneryReadError);
    EXPECT_THROW(buffer.ReadText(2, 1 << 30), SceneryReadError);
    EXPECT_THROW(buffer.ReadI16(std::int64_t{1} << 40), SceneryReadError);
    try {
        buffer.ReadI32(2);
        FAIL();
    } catch (const SceneryReadError& error) {
        EXPECT_EQ(error.Offset(), 2);
        EXPECT_NE(std::string(error.what()).find("test.bgl"), std::string::npos);
    }
}

TEST(SceneryBuffer, LoadsAWholeFile) {
    testing::TempFolder folder;
    const auto path = folder.Write("AP.BGL", Bytes({0x21, 0x43, 0x65, 0x87}));
    EXPECT_EQ(SceneryBuffer::Load(path).ReadI32(0), -2023406815);
}

}  // namespace
}  // namespace tarnwick
