// tarnwick-db where FS2002 lives on Linux: a build from inside a Wine prefix
// with the add-on scenery named by drive letters, and the installations the
// setup window offers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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
using testing::RunToolWithEnvironment;
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

TEST(DbInstallations, ListsTheSimulatorFoldersOfTheGivenHomeAndWinePrefix) {
    TempFolder home, elsewhere, empty;
    const fs::path wine = testing::MakeWinePrefix(home.Path() / ".wine");
    const fs::path installed = wine / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002";
    testing::PutSimulatorExe(installed);
    testing::WriteSimulatorRegistry(wine, "C:\\Program Files\\Microsoft Games\\FS2002");
    const fs::path bottle = testing::MakeWinePrefix(home.Path() / ".local/share/bottles/bottles/FS");
    testing::PutSimulatorExe(bottle / "drive_c" / "fs2002", "fs2002.exe");
    const fs::path other = testing::MakeWinePrefix(elsewhere.Path() / "prefix");
    testing::PutSimulatorExe(other / "drive_c" / "Games" / "FS2002");

    const auto plain = RunToolWithEnvironment("tarnwick-db", {"installations"},
                                              {"HOME=" + home.String(), "WINEPREFIX=" + other.string()});
    ASSERT_EQ(plain.ExitStatus, 0) << plain.Err;
    EXPECT_EQ(plain.Out, (other / "drive_c" / "Games" / "FS2002").string() + "\n" + installed.string() +
                             "\n" + (bottle / "drive_c" / "fs2002").string() + "\n");
    EXPECT_EQ(plain.Err, "");

    const auto json = RunToolWithEnvironment("tarnwick-db", {"installations", "--json"},
                                             {"-u", "WINEPREFIX", "HOME=" + home.String()});
    ASSERT_EQ(json.ExitStatus, 0) << json.Err;
    const auto listed = nlohmann::json::parse(json.Out);
    ASSERT_TRUE(listed.is_array());
    ASSERT_EQ(listed.size(), 2u) << json.Out;
    EXPECT_EQ(
        listed[0],
        (nlohmann::json{{"Folder", installed.string()}, {"Prefix", wine.string()}, {"FoundBy", "registry"}}));
    EXPECT_EQ(listed[1], (nlohmann::json{{"Folder", (bottle / "drive_c" / "fs2002").string()},
                                         {"Prefix", bottle.string()},
                                         {"FoundBy", "search"}}));

    const auto none = RunToolWithEnvironment("tarnwick-db", {"installations", "--json"},
                                             {"-u", "WINEPREFIX", "HOME=" + empty.String()});
    EXPECT_EQ(none.ExitStatus, 0);
    EXPECT_EQ(nlohmann::json::parse(none.Out), nlohmann::json::array());
    EXPECT_EQ(
        RunToolWithEnvironment("tarnwick-db", {"installations", "--seconds", "0"}, {"HOME=" + empty.String()})
            .ExitStatus,
        2);
    EXPECT_EQ(RunToolWithEnvironment("tarnwick-db", {"installations", "extra"}, {"HOME=" + empty.String()})
                  .ExitStatus,
              2);
}

}  // namespace
}  // namespace tarnwick
