// tarnwick-simhost run as a program on 127.0.0.1, joined by our DirectPlay
// client: the port line, the pilots, the JSON log, refusal and the host's leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/messages.h"
#include "support/run_tool.h"
#include "support/spawned_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using namespace directplay;
using testing::RunTool;
using testing::SpawnedTool;
using testing::TempFolder;

std::vector<std::string> HostArgs(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--port",          "0",          "--address", "127.0.0.1", "--center",
                                     "47.449,-122.309", "--aircraft", "3",         "--seconds", "30"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// Our client, joined to the tool's session through the port its first line names.
struct JoinedClient {
    explicit JoinedClient(SpawnedTool& tool) {
        const auto line = tool.ReadLine(std::chrono::milliseconds(10000));
        std::smatch match;
        if (!line ||
            !std::regex_search(*line, match, std::regex("enumeration=UDP/TCP 127\\.0\\.0\\.1:(\\d+)"))) {
            ADD_FAILURE() << "no port line: " << line.value_or("(nothing)");
            return;
        }
        ClientConfig config;
        config.peer.tcp_ports = {0, 0};
        config.peer.udp_ports = {0, 0};
        config.enumeration_port = static_cast<std::uint16_t>(std::stoi(match[1]));
        config.enumeration_time = Millis{300};
        client.emplace(config, clock);
        runner.emplace(*client, clock, kLoopbackAddress);
        client->Enumerate(kLoopbackAddress);
        if (!RunUntil([&] { return Got<action::EnumerationDone>() > 0; }) || found.empty()) {
            ADD_FAILURE() << "no session found";
            return;
        }
        JoinRequest request;
        request.player_name = "ATC Controller";
        client->Join(found.front(), request);
        joined = RunUntil([&] { return Got<action::Joined>() > 0; });
    }

    template <typename Done>
    bool RunUntil(Done done) {
        for (const Millis giveUp = clock.Now() + Millis{8000}; !done() && clock.Now() < giveUp;) {
            runner->PollOnce(Millis{10});
            for (auto& event : runner->TakeEvents()) {
                if (const auto* session = std::get_if<action::SessionFound>(&event))
                    found.push_back(session->session);
                if (const auto* message = std::get_if<action::Deliver>(&event)) {
                    MessageReader reader(message->payload);
                    gameTypes.push_back(ReadHeader(reader).Type);
                }
                events.push_back(std::move(event));
            }
        }
        return done();
    }

    template <typename T>
    std::size_t Got() const {
        return static_cast<std::size_t>(std::count_if(
            events.begin(), events.end(), [](const Action& a) { return std::holds_alternative<T>(a); }));
    }
    bool GotGame(std::int32_t type) const { return std::ranges::find(gameTypes, type) != gameTypes.end(); }
    void Send(const MessageBytes& message) { client->SendGameMessage(client->OwnPlayer(), 0, message, true); }

    SteadyClock clock;
    std::optional<DirectPlayClient> client;
    std::optional<PosixRunner> runner;
    std::vector<SessionInfo> found;
    std::vector<Action> events;
    std::vector<std::int32_t> gameTypes;
    bool joined = false;
};

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
    JoinedClient c(tool);
    ASSERT_TRUE(c.joined);
    EXPECT_EQ(c.found.front().name, u"Loopback");
    EXPECT_EQ(c.Got<action::PlayerCreated>(), 3u);

    c.Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(c.RunUntil([&] {
        return c.GotGame(MsgJoinAccept::kType) &&
               (c.GotGame(MsgPosition::kType) || c.GotGame(MsgPositionLong::kType));
    }));
    c.Send(EncodeTerminated(MsgChat{"Hello tower"}));
    c.client->Leave();
    c.runner->PollOnce(Millis{10});

    // The chat went before the leave on the same connection.
    std::vector<nlohmann::json> lines;
    for (const auto giveUp = c.clock.Now() + Millis{8000};
         !Logged(lines, "system", "DELETEPLAYER") && c.clock.Now() < giveUp;) {
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
    SpawnedTool tool("tarnwick-simhost", HostArgs({"--refuse", "--leave-after", "3"}));
    JoinedClient c(tool);
    ASSERT_TRUE(c.joined);
    c.Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(c.RunUntil([&] { return c.GotGame(MsgJoinRefuse::kType); }));
    ASSERT_TRUE(c.RunUntil([&] { return c.Got<action::SessionLost>() > 0; }));
    EXPECT_TRUE(c.GotGame(MsgHostLeft::kType));
    EXPECT_FALSE(c.GotGame(MsgJoinAccept::kType));
    EXPECT_EQ(tool.Wait(std::chrono::milliseconds(5000)), 0);
}

TEST(SimhostTool, RejectsBadOptionsAndUnknownAirports) {
    const auto bad = RunTool("tarnwick-simhost", {"--center", "95,0"});
    EXPECT_EQ(bad.ExitStatus, 2);
    EXPECT_EQ(std::count(bad.Err.begin(), bad.Err.end(), '\n'), 1) << bad.Err;
    EXPECT_EQ(RunTool("tarnwick-simhost", {"--center", "1,2", "--airport", "KSEA"}).ExitStatus, 2);

    TempFolder empty;
    const auto unknown =
        RunTool("tarnwick-simhost", {"--airport", "ZZZZ", "--work", empty.String(), "--port", "0"});
    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("ZZZZ"), std::string::npos) << unknown.Err;
}

}  // namespace
}  // namespace tarnwick
