// tarnwick-simhost run as a program on 127.0.0.1, joined by our DirectPlay
// client: the port line, the pilots, the JSON log, refusal and the host's leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "support/directplay_test_client.h"
#include "support/run_tool.h"
#include "support/spawned_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using namespace directplay;
using testing::DirectPlayTestClient;
using testing::RunTool;
using testing::SpawnedTool;
using testing::TempFolder;

std::vector<std::string> HostArgs(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--port",          "0",          "--address", "127.0.0.1", "--center",
                                     "47.449,-122.309", "--aircraft", "3",         "--seconds", "30"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// The enumeration port the tool's first line names.
std::uint16_t EnumerationPortOf(SpawnedTool& tool) {
    const auto line = tool.ReadLine(std::chrono::milliseconds(10000));
    std::smatch match;
    if (!line || !std::regex_search(*line, match, std::regex("enumeration=UDP/TCP 127\\.0\\.0\\.1:(\\d+)"))) {
        ADD_FAILURE() << "no port line: " << line.value_or("(nothing)");
        return 0;
    }
    return static_cast<std::uint16_t>(std::stoi(match[1]));
}

std::vector<nlohmann::json> LogLines(const std::filesystem::path& path) {
    std::vector<nlohmann::json> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        auto json = nlohmann::json::parse(line, nullptr, false);
        if (!json.is_discarded()) lines.push_back(std::move(json));  // a line still being written
    }
    return lines;
}

bool Logged(const std::vector<nlohmann::json>& lines, const std::string& key, const std::string& value) {
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.value(key, "") == value; });
}

TEST(SimhostTool, ServesPilotsLogsWhatItReceivesAndSeesTheClientLeave) {
    TempFolder folder;
    const auto logPath = folder.Path() / "received.jsonl";
    SpawnedTool tool("tarnwick-simhost", HostArgs({"--session", "Loopback", "--log", logPath.string()}));
    DirectPlayTestClient c(EnumerationPortOf(tool));
    ASSERT_TRUE(c.Join("ATC Controller"));
    EXPECT_EQ(c.Got<action::SessionFound>().at(0).session.name, u"Loopback");
    EXPECT_EQ(c.Got<action::PlayerCreated>().size(), 3u);

    c.Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(c.RunUntil([&] {
        return c.GotGame(MsgJoinAccept::kType) &&
               (c.GotGame(MsgPosition::kType) || c.GotGame(MsgPositionLong::kType));
    }));
    // The chat goes before the leave on the same connection.
    c.Send(EncodeTerminated(MsgChat{"Hello tower"}));
    c.Leave();

    std::vector<nlohmann::json> lines;
    for (const auto giveUp = c.Clock().Now() + Millis{8000};
         !Logged(lines, "system", "DELETEPLAYER") && c.Clock().Now() < giveUp;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lines = LogLines(logPath);
    }
    EXPECT_TRUE(Logged(lines, "system", "DELETEPLAYER"));
    EXPECT_TRUE(Logged(lines, "system", "REQUESTPLAYERID"));
    EXPECT_TRUE(Logged(lines, "text", "Hello tower"));
    EXPECT_TRUE(Logged(lines, "game", "MsgJoinRequest"));
    EXPECT_EQ(tool.Stop(std::chrono::milliseconds(5000)), 0);
}

TEST(SimhostTool, RefusesTheJoinAndLeavesAsHostWhenTold) {
    SpawnedTool tool("tarnwick-simhost", HostArgs({"--refuse", "--leave-after", "5"}));
    DirectPlayTestClient c(EnumerationPortOf(tool));
    ASSERT_TRUE(c.Join("ATC Controller"));
    c.Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(c.RunUntil([&] { return c.GotGame(MsgJoinRefuse::kType); }));
    ASSERT_TRUE(c.RunUntil([&] { return !c.Got<action::SessionLost>().empty(); }));
    EXPECT_TRUE(c.GotGame(MsgHostLeft::kType));
    EXPECT_FALSE(c.GotGame(MsgJoinAccept::kType));
    EXPECT_EQ(tool.Wait(std::chrono::milliseconds(5000)), 0);
}

TEST(SimhostTool, RejectsBadOptionsAndUnknownAirports) {
    const auto bad = RunTool("tarnwick-simhost", {"--center", "95,0"});
    EXPECT_EQ(bad.ExitStatus, 2);
    EXPECT_EQ(std::count(bad.Err.begin(), bad.Err.end(), '\n'), 1) << bad.Err;
    EXPECT_EQ(RunTool("tarnwick-simhost", {"--center", "1,2", "--airport", "KSEA"}).ExitStatus, 2);
    EXPECT_EQ(RunTool("tarnwick-simhost", {"--center", "1,2", "--id-key", "0xC3A17C0G"}).ExitStatus, 2);

    TempFolder empty;
    const auto unknown =
        RunTool("tarnwick-simhost", {"--airport", "ZZZZ", "--work", empty.String(), "--port", "0"});
    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("ZZZZ"), std::string::npos) << unknown.Err;
}

}  // namespace
}  // namespace tarnwick
