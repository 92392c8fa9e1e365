#include <gtest/gtest.h>

#include <fstream>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/file_system.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::Bytes;
using testing::TempFolder;

TEST(ByteWriter, WritesLittleEndianWithoutPadding) {
    ByteWriter w;
    w.I16(-2);
    w.I32(0x01020304);
    w.U8(7);
    w.Text("AB");
    w.F64(1.0);
    EXPECT_EQ(w.Bytes(), Bytes({0xFE, 0xFF, 4, 3, 2, 1, 7, 2, 0, 'A', 'B', 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_THROW(w.Text(std::string(70000, 'x')), std::length_error);
}

TEST(ByteReader, StopsAtTheEndWithoutReadingPastIt) {
    const auto bytes = Bytes({5, 0, 'H', 'E', 'L', 0xFF});
    ByteReader r(bytes);
    EXPECT_THROW(r.Text(), EndOfData);  // length 5, only 4 bytes left
    EXPECT_TRUE(r.AtEnd());
    ByteReader s(bytes);
    EXPECT_EQ(s.I16(), 5);
    EXPECT_EQ(s.I32(), static_cast<std::int32_t>(0xFF4C4548));
    EXPECT_THROW(s.U8(), EndOfData);
}

TEST(FileSystem, FindsNamesIgnoringCaseButPrefersTheExactOne) {
    TempFolder folder;
    folder.Write("Scenery/World/SCENERY/APxx.BGL", "x");
    folder.Write("scenery.cfg", "lower");
    folder.Write("SCENERY.CFG", "upper");
    EXPECT_EQ(FindEntryNoCase(folder.Path(), "SCENERY.CFG")->filename(), "SCENERY.CFG");
    EXPECT_EQ(FindEntryNoCase(folder.Path(), "Scenery.Cfg")->filename(), "SCENERY.CFG");  // sorted first
    EXPECT_FALSE(FindEntryNoCase(folder.Path(), "fs2002.exe"));
    const auto resolved = ResolveNoCase(folder.Path(), "scenery\\world\\scenery/apXX.bgl");
    ASSERT_TRUE(resolved);
    EXPECT_EQ(*resolved, folder.Path() / "Scenery/World/SCENERY/APxx.BGL");
    EXPECT_FALSE(ResolveNoCase(folder.Path(), "scenery\\nowhere"));
    EXPECT_FALSE(FindEntryNoCase(folder.Path() / "missing-folder", "x"));
}

TEST(FileSystem, AtomicWriteReplacesWholeFilesAndLeavesNoTemporary) {
    TempFolder folder;
    const auto path = folder.Path() / "world_airports.dat";
    WriteFileAtomically(path, Bytes({1, 2, 3, 4}));
    WriteFileAtomically(path, Bytes({9}));
    EXPECT_EQ(ReadWholeFile(path), Bytes({9}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_THROW(WriteFileAtomically(folder.Path() / "no/such/folder/file", Bytes({1})), FileError);
    EXPECT_THROW(ReadWholeFile(folder.Path() / "absent"), FileError);
}

}  // namespace
}  // namespace tarnwick
