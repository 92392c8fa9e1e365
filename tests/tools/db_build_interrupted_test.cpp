// tarnwick-db build killed at moments spread over a large synthetic build:
// whatever a kill leaves, the next start must either find a whole set of
// files that agree or run setup and a new build, and that build must work.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/fs_folder_fixture.h"
#include "support/next_start.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

extern char** environ;

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing::RunTool;
using testing::TempFolder;

// Starts tarnwick-db build quietly and kills it with SIGKILL after `delay`.
void BuildKilledAfter(const std::string& fsFolder, const std::string& work, Clock::duration delay) {
    const std::string tool = std::string(TARNWICK_BIN_DIR) + "/tarnwick-db";
    std::vector<std::string> args = {tool, "build", fsFolder, work};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, tool.c_str(), &quiet, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&quiet);
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

TEST(DbBuildInterrupted, AKillAtAnyMomentLeavesWhatTheNextStartRecognises) {
    TempFolder scenery, work;
    const std::string fsFolder = (scenery.Path() / "FS2002").string();
    const auto made = RunTool("tarnwick-mkscenery", {fsFolder, "--synthetic", "1500", "--seed", "8"});
    ASSERT_EQ(made.ExitStatus, 0) << made.Err;

    // A whole earlier build, which each interrupted one replaces.
    const auto start = Clock::now();
    const auto first = RunTool("tarnwick-db", {"build", fsFolder, work.String()});
    const Clock::duration duration = Clock::now() - start;
    ASSERT_EQ(first.ExitStatus, 0) << first.Err;
    std::vector<std::vector<std::uint8_t>> whole;
    for (const char* name : {kSettingsFileName, kAirportsFileName, kAirspacesFileName})
        whole.push_back(testing::ReadBytes(work.Path() / name));

    constexpr int kMoments = 12;
    for (int i = 0; i < kMoments; ++i) {
        BuildKilledAfter(fsFolder, work.String(), duration * i / (kMoments - 2));
        EXPECT_TRUE(testing::NextStartRecognises(work.Path())) << "kill " << i;
    }

    // Nothing an interrupted build left behind gets in the way of the next one.
    const auto again = RunTool("tarnwick-db", {"build", fsFolder, work.String()});
    ASSERT_EQ(again.ExitStatus, 0) << again.Err;
    std::size_t i = 0;
    for (const char* name : {kSettingsFileName, kAirportsFileName, kAirspacesFileName})
        EXPECT_EQ(testing::ReadBytes(work.Path() / name), whole[i++]) << name;
    for (const fs::directory_entry& entry : fs::directory_iterator(work.Path()))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

}  // namespace
}  // namespace tarnwick
