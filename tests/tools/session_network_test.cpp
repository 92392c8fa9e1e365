// tarnwick-session joins a DirectPlay host over 127.0.0.1 with the windows'
// own connection and message handling, and leaves it cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>

#include "multiplayer/tcpip/loopback_host.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

TEST(SessionToolNetwork, JoinsARealSessionSeesItsPilotAndLeaves) {
    testing::LoopbackHost host;
    host.answering = true;
    const std::string port = std::to_string(host.runner.EnumerationPort().value_or(0));
    std::atomic<bool> stop = false;
    std::thread hostThread([&] {
        while (!stop) host.Poll(directplay::Millis{5});
    });
    const auto run = testing::RunTool(
        "tarnwick-session",
        {"--connect", "127.0.0.1", "--port", port, "--session", "Loopback", "--seconds", "1", "--json"});

    const auto unknown = testing::RunTool("tarnwick-session", {"--connect", "127.0.0.1", "--port", port,
                                                               "--session", "Elsewhere", "--seconds", "1"});
    // In a folder without Tarnwick's files and without --work.
    const testing::TempFolder empty;
    const auto bare = testing::RunTool(
        "tarnwick-session", {"--connect", "127.0.0.1", "--port", port, "--seconds", "1", "--no-port-mapping"},
        empty.Path());
    stop = true;
    hostThread.join();

    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(run.Err.find("Connected to FS session!"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("\"Sim One\""), std::string::npos) << run.Out;
    const auto gone = host.Events<directplay::action::PlayerDestroyed>();
    ASSERT_EQ(gone.size(), 2u) << "the host saw the player of each program that joined deleted";
    EXPECT_EQ(host.host.Names().SystemPlayers().size(), 1u) << "and the programs' computers leave";

    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("found: Loopback"), std::string::npos) << unknown.Err;
    EXPECT_EQ(testing::RunTool("tarnwick-session", {"--demo", "--port", port}).ExitStatus, 2);

    EXPECT_EQ(bare.ExitStatus, 0) << bare.Err;
    EXPECT_NE(bare.Out.find("Sim One"), std::string::npos) << bare.Out;
    std::vector<std::string> notes;
    std::istringstream lines(bare.Err);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("tarnwick-session: ") && !line.starts_with("tarnwick-session: DirectPlay:"))
            notes.push_back(line);
    ASSERT_EQ(notes.size(), 1u) << bare.Err;
    EXPECT_NE(
        notes[0].find("(no atc_settings.tcs there): headings are shown true, without magnetic correction"),
        std::string::npos)
        << notes[0];
    EXPECT_TRUE(std::filesystem::is_empty(empty.Path())) << "nothing written there";
}

}  // namespace
}  // namespace tarnwick
