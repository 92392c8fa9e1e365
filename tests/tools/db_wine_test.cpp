// tarnwick-db where FS2002 lives on Linux: a build from inside a Wine prefix
// with the add-on scenery named by drive letters.
#include <gtest/gtest.h>

#include <fstream>

#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/fs_folder_fixture.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::RunTool;
using testing::TempFolder;

std::string ReadText(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = testing::ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// The demo's simulator folder built as it comes, and again from a prefix
// where its scenery was moved to C:\Addons and to a second drive D:, as add-on
// installers place it, with scenery.cfg naming the areas by drive letter.
class DemoInAPrefix : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        folders_ = new Folders;
        Folders& f = *folders_;
        const fs::path plain = f.Root.Path() / "plain" / "FS2002";
        ASSERT_EQ(RunTool("tarnwick-mkscenery", {plain.string()}).ExitStatus, 0);
        f.PlainBuild = RunTool("tarnwick-db", {"build", plain.string(), f.PlainWork.String()});

        f.Prefix = testing::MakeWinePrefix(f.Root.Path() / "prefix");
        const fs::path disk = f.Root.Path() / "disk";
        fs::create_directories(disk / "FS Scenery");
        fs::create_directory_symlink(disk, f.Prefix / "dosdevices" / "d:");
        const fs::path drive = f.Prefix / "drive_c";
        f.Simulator = drive / "Program Files" / "Microsoft Games" / "FS2002";
        fs::create_directories(f.Simulator.parent_path());
        fs::copy(plain, f.Simulator, fs::copy_options::recursive);
        fs::create_directories(drive / "Addons");
        fs::rename(f.Simulator / "Scenery" / "World", drive / "Addons" / "World");
        fs::rename(f.Simulator / "Scenery" / "NAMR", disk / "FS Scenery" / "NAMR");
        fs::rename(f.Simulator / "Addon Scenery" / "Puget Sound", drive / "Addons" / "Puget Sound");
        std::string config = ReadText(f.Simulator / "SCENERY.CFG");
        Replace(config, "Local=Scenery\\World\r\n", "Local=C:\\Addons\\World\r\n");
        Replace(config, "Local=scenery\\namr\r\n", "Local=d:/FS SCENERY/namr\r\n");
        Replace(config, "Local=Addon Scenery\\Puget Sound\r\n", "Local=c:\\addons\\Puget Sound\r\n");
        Replace(config, "Local=ADDON SCENERY/PUGET SOUND/scenery\r\n",
                "Local=C:/ADDONS/PUGET SOUND/scenery\r\n");
        Replace(config, "Local=Addon Scenery\\Not Installed\r\n", "Local=C:\\Addons\\Not Installed\r\n");
        WriteText(f.Simulator / "SCENERY.CFG", config);
        f.PrefixBuild = RunTool("tarnwick-db", {"build", f.Simulator.string(), f.PrefixWork.String()});
    }
    static void TearDownTestSuite() {
        delete folders_;
        folders_ = nullptr;
    }

    struct Folders {
        TempFolder Root, PlainWork, PrefixWork;
        fs::path Prefix, Simulator;
        testing::ToolRun PlainBuild, PrefixBuild;
    };
    static Folders* folders_;
};
DemoInAPrefix::Folders* DemoInAPrefix::folders_ = nullptr;

TEST_F(DemoInAPrefix, TheDriveLetterAreasGiveTheSameDatabasesByteForByte) {
    const Folders& f = *folders_;
    ASSERT_EQ(f.PlainBuild.ExitStatus, 0) << f.PlainBuild.Err;
    ASSERT_EQ(f.PrefixBuild.ExitStatus, 0) << f.PrefixBuild.Err;
    EXPECT_NE(f.PrefixBuild.Out.find("airports:  78\n"), std::string::npos) << f.PrefixBuild.Out;
    for (const char* name : {kAirportsFileName, kAirspacesFileName}) {
        const auto expected = testing::ReadBytes(f.PlainWork.Path() / name);
        EXPECT_FALSE(expected.empty()) << name;
        EXPECT_EQ(testing::ReadBytes(f.PrefixWork.Path() / name), expected) << name;
    }
}

TEST_F(DemoInAPrefix, TheReportNamesEachSkippedAreaUnderTheSameCounts) {
    const Folders& f = *folders_;
    EXPECT_NE(f.PlainBuild.Out.find("areas:     5 used, 1 skipped (no folder)\n"
                                    "  skipped area \"Not Installed Addon\" (Addon Scenery\\Not Installed): "
                                    "no such folder\n"),
              std::string::npos)
        << f.PlainBuild.Out;
    EXPECT_NE(f.PrefixBuild.Out.find("areas:     5 used, 1 skipped (no folder)\n"
                                     "  skipped area \"Not Installed Addon\" (C:\\Addons\\Not Installed): "
                                     "no such folder (drive C: is " +
                                     (f.Prefix / "drive_c").string() + ")\n"),
              std::string::npos)
        << f.PrefixBuild.Out;
}

TEST_F(DemoInAPrefix, OutsideAPrefixTheDriveLetterAreasAreSkippedAndNamed) {
    // The prefix's simulator folder copied to a plain folder: only the areas
    // below the simulator's folder are found.
    TempFolder copy, work;
    fs::copy(folders_->Simulator, copy.Path() / "FS2002", fs::copy_options::recursive);
    const auto run = RunTool("tarnwick-db", {"build", (copy.Path() / "FS2002").string(), work.String()});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(run.Out.find("areas:     1 used, 5 skipped (no folder)\n"), std::string::npos) << run.Out;
    for (const char* title : {"Default Terrain", "North America", "Puget Sound Airports",
                              "Puget Sound Airports (copy)", "Not Installed Addon"}) {
        EXPECT_NE(run.Out.find("  skipped area \"" + std::string(title) + "\" ("), std::string::npos)
            << title;
    }
    EXPECT_NE(run.Out.find("(d:/FS SCENERY/namr): the FS2002 folder is not inside a Wine prefix, so drive D: "
                           "is nowhere\n"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("airports:  0\n"), std::string::npos) << run.Out;
}

}  // namespace
}  // namespace tarnwick
