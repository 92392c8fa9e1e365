#include "scenery/magdec_file.h"
#include "scenery_kit/magdec_writer.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr std::size_t kGridStart = 200;  // a section offset S of 192: the grid follows 8 bytes later

void Poke16(std::vector<std::uint8_t>& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// A declination file laid out by hand: S = 192 at byte 110 (C0 00 00 00), and
// the grid from byte 200, column by column from longitude 0, latitude -90 up.
std::vector<std::uint8_t> HandBuiltFile() {
    std::vector<std::uint8_t> bytes(kGridStart + 130320, 0);
    bytes[110] = 0xC0;
    Poke16(bytes, kGridStart + 0, 0x0102);                      // lat -90, lon 0
    Poke16(bytes, kGridStart + 2 * (137 + 181 * 238), 2730);    // lat 47, lon 238: 15.0 degrees
    Poke16(bytes, kGridStart + 2 * (90 + 181 * 1), -546);       // lat 0, lon 1: -3.0 degrees
    Poke16(bytes, kGridStart + 2 * (180 + 181 * 359), -32768);  // lat 90, lon 359: last cell
    return bytes;
}

DeclinationGrid MarkedGrid() {
    DeclinationGrid grid;
    grid.Cells.fill(7);
    return grid;
}

TEST(MagdecFile, ReadsTheGridAtTheAnnouncedOffset) {
    TempFolder folder;
    DeclinationGrid grid = MarkedGrid();
    const auto result = LoadDeclination(folder.Write("magdec.bgl", HandBuiltFile()), grid);
    ASSERT_TRUE(result.Ok) << result.Problem;
    EXPECT_EQ(grid.Cells[0], 0x0102);
    EXPECT_EQ(grid.Cells[DeclinationGrid::IndexOf(47, 238)], 2730);
    EXPECT_EQ(grid.Cells[DeclinationGrid::IndexOf(0, 1)], -546);
    EXPECT_EQ(grid.Cells[DeclinationGrid::IndexOf(90, 359)], -32768);
    EXPECT_EQ(grid.Cells[DeclinationGrid::IndexOf(1, 0)], 0);  // every cell is read, zeros too
    EXPECT_EQ(grid.Cells[DeclinationGrid::kCellCount], 7);     // the spare cell is not part of the file
}

TEST(MagdecFile, ZeroOrNegativeOffsetLeavesTheGridAlone) {
    TempFolder folder;
    for (const std::uint8_t highByte : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        std::vector<std::uint8_t> bytes = HandBuiltFile();
        bytes[110] = highByte;
        bytes[111] = bytes[112] = bytes[113] = highByte;  // 0, then -1
        DeclinationGrid grid = MarkedGrid();
        const auto result = LoadDeclination(folder.Write("magdec.bgl", bytes), grid);
        EXPECT_TRUE(result.Ok) << result.Problem;
        EXPECT_EQ(grid.Cells[0], 7);
        EXPECT_EQ(grid.Cells[DeclinationGrid::IndexOf(47, 238)], 7);
    }
}

TEST(MagdecFile, BadFilesAreReportedByNameAndChangeNothing) {
    TempFolder folder;
    const DeclinationGrid untouched = MarkedGrid();

    struct Case {
        const char* what;
        fs::path file;
        const char* problem;
    };
    std::vector<std::uint8_t> oneShort = HandBuiltFile();
    oneShort.pop_back();  // the grid's last byte would come from beyond the file
    fs::create_directories(folder.Path() / "folder.bgl");
    const Case cases[] = {
        {"missing", folder.Path() / "magdec.bgl", "is missing"},
        {"too short for the offset", folder.Write("short.bgl", std::vector<std::uint8_t>(113, 0)),
         "to hold the declination section offset"},
        {"too short for the grid", folder.Write("oneshort.bgl", oneShort),
         "for the declination grid it announces"},
        {"a folder", folder.Path() / "folder.bgl", "is not a file"},
    };
    for (const Case& c : cases) {
        DeclinationGrid grid = MarkedGrid();
        const auto result = LoadDeclination(c.file, grid);
        EXPECT_FALSE(result.Ok) << c.what;
        EXPECT_NE(result.Problem.find(c.file.string()), std::string::npos) << result.Problem;
        EXPECT_NE(result.Problem.find(c.problem), std::string::npos) << result.Problem;
        EXPECT_EQ(grid.Cells, untouched.Cells) << c.what;
    }
    EXPECT_FALSE(fs::exists(folder.Path() / "magdec.bgl"));  // looking for it did not create it

    // Offset field present but exactly 114 bytes long and S positive: the grid is missing.
    std::vector<std::uint8_t> headerOnly(114, 0);
    headerOnly[110] = 0xC0;
    DeclinationGrid grid = MarkedGrid();
    EXPECT_FALSE(LoadDeclination(folder.Write("header.bgl", headerOnly), grid).Ok);
    EXPECT_EQ(grid.Cells, untouched.Cells);
}

TEST(MagdecFile, GridReaderRefusesASectionOutsideTheBuffer) {
    std::vector<std::uint8_t> bytes = HandBuiltFile();
    const SceneryBuffer buffer(bytes, "x.bgl");
    DeclinationGrid grid = MarkedGrid();
    EXPECT_THROW(ReadDeclinationGrid(buffer, 193, grid), SceneryReadError);
    EXPECT_THROW(ReadDeclinationGrid(buffer, 2147483647, grid), SceneryReadError);
    EXPECT_EQ(grid.Cells[0], 7);
    ReadDeclinationGrid(buffer, 192, grid);
    EXPECT_EQ(grid.Cells[0], 0x0102);
}

TEST(MagdecFile, PathIsFoundWhateverTheCaseOnDisk) {
    TempFolder folder;
    const auto real = folder.Write("SCENERY/MagDec.BGL", std::string("x"));
    EXPECT_EQ(MagdecPathFor(folder.String(), "/"), real);

    TempFolder empty;
    EXPECT_EQ(MagdecPathFor(empty.String(), "/"), empty.Path() / "scenery" / "magdec.bgl");
}

TEST(MagdecFile, WrittenFileReadsBackAndIsNoSceneryFile) {
    DeclinationGrid grid;
    for (std::size_t i = 0; i < static_cast<std::size_t>(DeclinationGrid::kCellCount); ++i) {
        grid.Cells[i] = static_cast<std::int16_t>(static_cast<int>(i % 5000) - 2500);
    }
    const std::vector<std::uint8_t> bytes = MagdecFileBytes(grid);
    EXPECT_EQ(bytes.size(), 128u + 130320u);
    const SceneryBuffer buffer(bytes, "magdec.bgl");
    EXPECT_EQ(buffer.ReadI32(110), 120);
    EXPECT_NE(static_cast<std::uint32_t>(buffer.ReadI32(118)), 0x87654321u);  // never taken for scenery

    TempFolder folder;
    DeclinationGrid back;
    ASSERT_TRUE(LoadDeclination(folder.Write("magdec.bgl", bytes), back).Ok);
    EXPECT_EQ(back.Cells, grid.Cells);
}

}  // namespace
}  // namespace tarnwick
