// tarnwick-session joins a DirectPlay host over 127.0.0.1 with the windows'
// own connection and message handling, and leaves it cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "multiplayer/tcpip/loopback_host.h"
#include "support/run_tool.h"

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
    stop = true;
    hostThread.join();

    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(run.Err.find("Connected to FS session!"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("\"Sim One\""), std::string::npos) << run.Out;
    const auto gone = host.Events<directplay::action::PlayerDestroyed>();
    ASSERT_EQ(gone.size(), 1u) << "the host saw the program's player deleted";
    EXPECT_EQ(host.host.Names().SystemPlayers().size(), 1u) << "and the program's computer leave";

    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("found: Loopback"), std::string::npos) << unknown.Err;
    EXPECT_EQ(testing::RunTool("tarnwick-session", {"--demo", "--port", port}).ExitStatus, 2);
}

}  // namespace
}  // namespace tarnwick
