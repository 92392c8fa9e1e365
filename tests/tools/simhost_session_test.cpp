// Two headless Tarnwicks and tarnwick-simhost share one session on 127.0.0.1,
// all three as separate programs speaking DirectPlay over TCP/IP: the pilots
// move, their aircraft are known, chat goes from one controller to the host
// and straight to the other controller, the first controller leaves cleanly
// and the second sees the host leave. The host's id key makes every id
// negative as a signed number, which every part must take. It takes over half a
// minute: aircraft are asked for what they fly on the 30 s upkeep tick, and
// the host stays well beyond it so that a slow machine still sees the answers.
#include <gtest/gtest.h>

#include <fstream>

#include "controller_output.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
using testing::Contains;
using testing::ControllerArgs;
using testing::EnumerationPortOf;
using testing::OutputOf;
using testing::SpawnedTool;
using testing::TrackOf;

TEST(SimhostSession, TwoControllersAndTheHostShareOneSession) {
    testing::TempFolder folder;
    const auto logPath = folder.Path() / "host.jsonl";
    SpawnedTool host("tarnwick-simhost",
                     {"--port", "0", "--address", "127.0.0.1", "--center", "47.449,-122.309", "--aircraft",
                      "3", "--session", "Loopback", "--log", logPath.string(), "--leave-after", "45",
                      "--id-key", "0xC3A17C0D"});
    const std::string port = EnumerationPortOf(host);
    ASSERT_FALSE(port.empty());

    // The second controller is in before the first one speaks, so it hears
    // the chat from the first one directly.
    SpawnedTool staying("tarnwick-session", ControllerArgs(port, "Tower B", "60"));
    ASSERT_TRUE(staying.ReadLine(milliseconds(10000))) << "the second controller joined";
    std::vector<std::string> leavingArgs = ControllerArgs(port, "Tower A", "4");
    leavingArgs.insert(leavingArgs.end(), {"--say", "Hello pilots"});
    SpawnedTool leaving("tarnwick-session", leavingArgs);

    const auto first = OutputOf(leaving, milliseconds(15000));
    EXPECT_EQ(leaving.Wait(milliseconds(5000)), 0) << "the first controller's time ran out in the session";
    const auto second = OutputOf(staying, milliseconds(55000));
    EXPECT_EQ(staying.Wait(milliseconds(5000)), 1) << "the host's leave ends the second controller's session";
    EXPECT_EQ(host.Wait(milliseconds(5000)), 0);

    // The pilots fly, and what they fly is known once the upkeep tick (every
    // 30 s) has asked them.
    std::string pilot;
    for (const auto& line : second)
        if (line.contains("traffic"))
            for (const auto& entry : line["traffic"])
                if (entry["Name"] != "Tower B" && entry["Aircraft"] != "") pilot = entry["Name"];
    ASSERT_FALSE(pilot.empty()) << "no pilot with its aircraft known";
    const auto track = TrackOf(second, pilot);
    ASSERT_GE(track.size(), 2u);
    EXPECT_NE(track.front(), track.back()) << pilot << " never moved";

    EXPECT_TRUE(Contains(second, "chat", "Hello pilots")) << "the chat went from controller to controller";
    EXPECT_TRUE(Contains(first, "message", "Connected to FS session!"));
    EXPECT_TRUE(Contains(second, "message", "connection was lost")) << "the host's leave took the lost path";

    std::ifstream log(logPath);
    std::vector<nlohmann::json> received;
    for (std::string line; std::getline(log, line);)
        received.push_back(nlohmann::json::parse(line, nullptr, false));
    EXPECT_TRUE(Contains(received, "text", "Hello pilots"));
    EXPECT_TRUE(Contains(received, "system", "DELETEPLAYER")) << "the first controller left cleanly";
}

}  // namespace
}  // namespace tarnwick
