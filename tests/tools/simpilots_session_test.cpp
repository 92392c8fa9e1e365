// Pilot machines of tarnwick-simpilots, a host of tarnwick-simhost and a
// headless Tarnwick in one session, each machine on a loopback address of its
// own: a hundred pilots on the table and moving, a session that outlives its
// host with Tarnwick hosting it, taking in a late pilot and letting go of a
// pilot whose machine vanished, and one that a pilot's machine hosts, whose
// late pilots are on the table before any upkeep pass.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <thread>

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

const std::string kCenter = "47.449,-122.309";

std::vector<std::string> PilotArgs(const std::string& port, const std::string& aircraft,
                                   const std::string& addresses, std::vector<std::string> extra) {
    std::vector<std::string> args = {"--connect",   "127.0.0.1", "--port",        port,
                                     "--aircraft",  aircraft,    "--center",      kCenter,
                                     "--addresses", addresses,   "--system-ports"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// The last traffic table printed, and how many places each player was seen at.
struct Seen {
    nlohmann::json Last;
    std::map<std::int64_t, std::set<std::pair<double, double>>> Places;
};

Seen SeenIn(const std::vector<nlohmann::json>& lines) {
    Seen seen;
    for (const auto& line : lines) {
        if (!line.contains("traffic")) continue;
        seen.Last = line["traffic"];
        for (const auto& entry : line["traffic"])
            seen.Places[entry["PlayerId"].get<std::int64_t>()].emplace(entry["Latitude"], entry["Longitude"]);
    }
    return seen;
}

bool OnTable(const nlohmann::json& table, std::int64_t player) {
    for (const auto& entry : table)
        if (entry["PlayerId"].get<std::int64_t>() == player) return true;
    return false;
}

TEST(SimpilotsSession, AHundredPilotMachinesAreOnTheTableAndMoving) {
    SpawnedTool host("tarnwick-simhost", {"--port", "0", "--address", "127.0.0.1", "--center", kCenter,
                                          "--aircraft", "1", "--max-players", "200", "--seconds", "60"});
    const std::string port = EnumerationPortOf(host);
    ASSERT_FALSE(port.empty());
    SpawnedTool pilots("tarnwick-simpilots", PilotArgs(port, "100", "127.0.0.2-127.0.0.101",
                                                       {"--seconds", "50", "--log", "/dev/null"}));
    const auto joined = pilots.ReadLine(milliseconds(40000));
    ASSERT_TRUE(joined);
    EXPECT_EQ(*joined, "joined 100 machines at 127.0.0.2-127.0.0.101");

    SpawnedTool controller("tarnwick-session", ControllerArgs(port, "ATC Controller", "10"));
    const auto lines = OutputOf(controller, milliseconds(30000));
    EXPECT_EQ(controller.Wait(milliseconds(5000)), 0);
    const Seen seen = SeenIn(lines);
    EXPECT_EQ(seen.Last.size(), 102u) << "the program, the host's pilot and a hundred pilots";
    std::size_t moving = 0;
    for (const auto& [player, places] : seen.Places) moving += places.size() >= 2;
    EXPECT_GE(moving, 100u);
}

// A full session takes the pilots that fit: the tool names those refused,
// keeps the others flying, and ends well.
TEST(SimpilotsSession, AFullSessionRefusesSomePilotsAndTheOthersStay) {
    const testing::TempFolder folder;
    const std::string log = (folder.Path() / "host.jsonl").string();
    SpawnedTool host("tarnwick-simhost",
                     {"--port", "0", "--address", "127.0.0.1", "--center", kCenter, "--aircraft", "1",
                      "--max-players", "3", "--seconds", "30", "--log", log});
    const std::string port = EnumerationPortOf(host);
    ASSERT_FALSE(port.empty());
    SpawnedTool pilots("tarnwick-simpilots",
                       PilotArgs(port, "4", "127.0.0.2-127.0.0.9", {"--seconds", "6", "--log", "/dev/null"}));
    std::vector<std::string> lines;
    while (const auto line = pilots.ReadLine(milliseconds(20000))) lines.push_back(*line);
    EXPECT_EQ(pilots.Wait(milliseconds(5000)), 0) << "some joined";
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "joined 2 machines at 127.0.0.2-127.0.0.3") << "the host's pilot and two fill it";
    for (const std::string& refused : {lines[1], lines[2]}) {
        EXPECT_TRUE(refused.starts_with("refused ")) << refused;
        EXPECT_TRUE(refused.ends_with("the session is full or closed to new players.")) << refused;
    }
    // The two in flew, and left as FS2002 does at the end.
    std::set<std::int64_t> reporting;
    int deleted = 0;
    std::ifstream received(log);
    for (std::string line; std::getline(received, line);) {
        const auto json = nlohmann::json::parse(line, nullptr, false);
        if (json.is_discarded()) continue;
        if (json.value("game", "").starts_with("MsgPosition"))
            reporting.insert(json["from"].get<std::int64_t>());
        if (json.value("system", "") == "DELETEPLAYER") ++deleted;
    }
    EXPECT_EQ(reporting.size(), 2u);
    EXPECT_EQ(deleted, 4) << "each machine deleted its player and itself";
}

TEST(SimpilotsSession, TheSessionOutlivesItsHostWithTarnwickHostingIt) {
    // Ids shrink with every machine, so Tarnwick, joining last, is first in line.
    SpawnedTool host("tarnwick-simhost",
                     {"--port", "0", "--address", "127.0.0.1", "--center", kCenter, "--aircraft", "1",
                      "--migrate-host", "--id-key", "0xFFFFFFFF", "--leave-after", "8"});
    const std::string port = EnumerationPortOf(host);
    ASSERT_FALSE(port.empty());
    SpawnedTool pilots("tarnwick-simpilots", PilotArgs(port, "3", "127.0.0.2-127.0.0.4",
                                                       {"--vanish-after", "12", "--seconds", "60"}));
    ASSERT_TRUE(pilots.ReadLine(milliseconds(20000)));
    SpawnedTool controller("tarnwick-session", ControllerArgs(port, "ATC Controller", "38"));
    ASSERT_TRUE(controller.ReadLine(milliseconds(10000))) << "joined";

    EXPECT_EQ(host.Wait(milliseconds(20000)), 0) << "the host left";
    const auto vanished = pilots.ReadLine(milliseconds(20000));
    ASSERT_TRUE(vanished && vanished->starts_with("vanished ")) << vanished.value_or("(nothing)");
    const std::int64_t gone = std::stoll(vanished->substr(vanished->find("player ") + 7));
    // A late pilot finds the session at the same port, now Tarnwick's.
    SpawnedTool late("tarnwick-simpilots", PilotArgs(port, "1", "127.0.0.5-127.0.0.5", {"--seconds", "40"}));
    ASSERT_TRUE(late.ReadLine(milliseconds(30000))) << "joined through the new host";

    const auto lines = OutputOf(controller, milliseconds(40000));
    EXPECT_EQ(controller.Wait(milliseconds(5000)), 0) << "the session was not lost";
    EXPECT_TRUE(Contains(lines, "message", "Tarnwick is now hosting the session"));
    const Seen seen = SeenIn(lines);
    EXPECT_TRUE(std::any_of(seen.Places.begin(), seen.Places.end(), [&](const auto& entry) {
        return OnTable(seen.Last, entry.first) && entry.second.size() >= 2;
    })) << "pilots still move";
    EXPECT_FALSE(OnTable(seen.Last, gone)) << "the vanished pilot left the table";
    EXPECT_EQ(seen.Last.size(), 4u) << "the program, two pilots that stayed, and the late one";
}

// The host leaves and a pilot's machine, first in line, hosts the session at
// DirectPlay's level while the program answers the join requests. The pilot
// that joined after the program, and a late one that joins through that
// machine, are on the program's table within a run shorter than the upkeep
// pass's 30 s: their reports had them asked who they are.
TEST(SimpilotsSession, PilotsJoiningAfterTheProgramAreOnItsTableBeforeAnyUpkeepPass) {
    // Ids shrink with every machine: the pilot, joining after the program, is first in line.
    SpawnedTool host("tarnwick-simhost",
                     {"--port", "0", "--address", "127.0.0.1", "--center", kCenter, "--aircraft", "1",
                      "--migrate-host", "--id-key", "0xFFFFFFFF", "--leave-after", "12"});
    const std::string port = EnumerationPortOf(host);
    ASSERT_FALSE(port.empty());
    SpawnedTool controller("tarnwick-session", ControllerArgs(port, "ATC Controller", "29"));
    ASSERT_TRUE(controller.ReadLine(milliseconds(10000))) << "joined";
    std::vector<nlohmann::json> lines;
    std::thread reader([&] { lines = OutputOf(controller, milliseconds(40000)); });
    SpawnedTool pilot("tarnwick-simpilots", PilotArgs(port, "1", "127.0.0.2-127.0.0.2", {"--seconds", "60"}));
    const bool pilotJoined = pilot.ReadLine(milliseconds(20000)).has_value();
    const int hostLeft = host.Wait(milliseconds(20000));
    SpawnedTool late("tarnwick-simpilots",
                     {"--connect", "127.0.0.2", "--port", port, "--aircraft", "1", "--center", kCenter,
                      "--addresses", "127.0.0.3-127.0.0.3", "--system-ports", "--seconds", "40"});
    const bool lateJoined = late.ReadLine(milliseconds(20000)).has_value();
    reader.join();
    ASSERT_TRUE(pilotJoined);
    EXPECT_EQ(hostLeft, 0) << "the host left";
    ASSERT_TRUE(lateJoined) << "joined through the pilot's machine";
    EXPECT_EQ(controller.Wait(milliseconds(5000)), 0) << "the session was not lost";
    EXPECT_TRUE(Contains(lines, "message", "Tarnwick is now hosting the session"));
    EXPECT_EQ(SeenIn(lines).Last.size(), 3u) << "the program, the pilot and the late one";
}

}  // namespace
}  // namespace tarnwick
