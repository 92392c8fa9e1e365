#include "app/demo_work_folder.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

TEST(DemoWorkFolder, MakesWhatIsMissingAndKeepsWhatIsThere) {
    TempFolder temp;
    const std::filesystem::path demo = temp.Path() / "own" / "demo";
    ASSERT_EQ(PrepareDemoWorkFolder(demo, TARNWICK_BIN_DIR), "");
    SettingsState settings;
    EXPECT_EQ(StartupDecision(settings, demo.string()).Path, StartupPath::NormalStart);
    // The settings name the simulator folder wherever the program starts.
    EXPECT_EQ(settings.FsFolder, (demo / "FS2002").string());

    const auto airports = demo / "world_airports.dat";
    const auto built = std::filesystem::last_write_time(airports);
    std::filesystem::remove(demo / "FS2002" / "FS2002.EXE");
    ASSERT_EQ(PrepareDemoWorkFolder(demo, TARNWICK_BIN_DIR), "");
    EXPECT_TRUE(std::filesystem::exists(demo / "FS2002" / "FS2002.EXE"));
    EXPECT_EQ(std::filesystem::last_write_time(airports), built) << "complete databases are kept";

    std::filesystem::remove(demo / "world_airspaces.dat");
    ASSERT_EQ(PrepareDemoWorkFolder(demo, TARNWICK_BIN_DIR), "");
    EXPECT_EQ(StartupDecision(settings, demo.string()).Path, StartupPath::NormalStart);
}

TEST(DemoWorkFolder, MissingToolsAreReported) {
    TempFolder temp;
    const std::string problem = PrepareDemoWorkFolder(temp.Path() / "demo", temp.Path() / "no-tools");
    EXPECT_NE(problem.find("tarnwick-mkscenery"), std::string::npos) << problem;
}

}  // namespace
}  // namespace tarnwick
