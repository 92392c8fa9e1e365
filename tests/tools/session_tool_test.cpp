#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::RunTool;
using testing::TempFolder;

// Two airports, the first with a runway, and no simulator folder: the tool
// goes on without the declination grid.
void WriteWorkFolder(const TempFolder& folder) {
    SettingsRecord settings;
    settings.ProgramTitle = kSettingsFileTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = (folder.Path() / "no-simulator-here").string();
    settings.AirportCount = 2;
    WriteSettingsFile(folder.Path() / kSettingsFileName, settings);

    std::vector<AirportRecord> airports(3);
    airports[0].Name = "Seattle Tacoma Intl";
    airports[0].IcaoId = "KSEA";
    airports[0].Lat = 47.449;
    airports[0].Lon = -122.309;
    airports[0].ElevationFt = 432;
    RunwayEntry& runway = airports[0].Runways.Grow(0);
    runway.End1Lat = 47.4638;
    runway.End1Lon = -122.3079;
    runway.End2Lat = 47.4316;
    runway.End2Lon = -122.3080;
    runway.ElevationFt = 432;
    airports[0].RunwayCount = 1;
    airports[1].Name = "Boeing Fld King Co Intl";
    airports[1].IcaoId = "KBFI";
    airports[1].Lat = 47.53;
    airports[1].Lon = -122.302;
    WriteAirportDatabase(folder.Path() / kAirportsFileName, airports);
    WriteAirspaceDatabase(folder.Path() / kAirspacesFileName, std::vector<AirspaceRecord>(1));
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST(SessionTool, JoinsTheDemoAndPrintsMovingPilotsAndTheirAircraft) {
    TempFolder folder;
    WriteWorkFolder(folder);
    const auto run =
        RunTool("tarnwick-session", {"--demo", "--work", folder.String(), "--seconds", "40", "--json"});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(run.Err.find("Tarnwick Message: Connected to FS session!"), std::string::npos) << run.Err;

    std::vector<nlohmann::json> tables;
    bool connectedMessage = false;
    for (const nlohmann::json& line : JsonLines(run.Out)) {
        if (line.contains("traffic")) tables.push_back(line);
        if (line == nlohmann::json{{"message", "Connected to FS session!"}}) connectedMessage = true;
    }
    EXPECT_TRUE(connectedMessage);
    ASSERT_GT(tables.size(), 100u) << "positions change the table several times a second";

    // Every pilot seen in the first full table has moved by the last one.
    const nlohmann::json& last = tables.back()["traffic"];
    ASSERT_GE(last.size(), 7u);
    EXPECT_EQ(last[0]["Name"], "ATC Controller");
    std::map<int, nlohmann::json> early;
    for (const nlohmann::json& entry : tables[tables.size() / 4]["traffic"]) early[entry["PlayerId"]] = entry;
    int moved = 0;
    int described = 0;
    for (const nlohmann::json& entry : last) {
        for (const char* field : {"Name", "PlayerId", "Kind", "Altitude", "Heading", "Longitude", "Latitude",
                                  "Category", "Aircraft"}) {
            EXPECT_TRUE(entry.contains(field)) << field;
        }
        if (entry["PlayerId"] == last[0]["PlayerId"]) continue;
        EXPECT_EQ(entry["Kind"], "player");
        const auto before = early.find(entry["PlayerId"].get<int>());
        if (before != early.end() && before->second["Latitude"] != entry["Latitude"]) ++moved;
        if (!entry["Aircraft"].get<std::string>().empty()) ++described;
    }
    EXPECT_GE(moved, 3);
    EXPECT_GE(described, 3) << "the upkeep tick at 30 s asked every pilot for its aircraft";
    EXPECT_LT(tables.front()["time"].get<double>(), 30.0);

    // The motion: unknown at first; then, for every pilot, the speed its
    // printed positions give over the same five seconds and more.
    for (const nlohmann::json& entry : tables.front()["traffic"])
        EXPECT_TRUE(entry["GroundSpeedKt"].is_null());
    const double end = tables.back()["time"];
    const nlohmann::json* before = nullptr;
    for (const nlohmann::json& table : tables) {
        if (table["time"].get<double>() <= end - 6.0) before = &table;
    }
    ASSERT_NE(before, nullptr);
    const double seconds = end - (*before)["time"].get<double>();
    int flying = 0;
    for (const nlohmann::json& entry : last) {
        if (entry["PlayerId"] == last[0]["PlayerId"]) continue;
        for (const nlohmann::json& then : (*before)["traffic"]) {
            if (then["PlayerId"] != entry["PlayerId"]) continue;
            const double north = (entry["Latitude"].get<double>() - then["Latitude"].get<double>()) * 60;
            const double east = (entry["Longitude"].get<double>() - then["Longitude"].get<double>()) * 60 *
                                std::cos(entry["Latitude"].get<double>() * M_PI / 180);
            const double speed = std::hypot(north, east) / seconds * 3600;
            ASSERT_FALSE(entry["GroundSpeedKt"].is_null()) << entry;
            EXPECT_NEAR(entry["GroundSpeedKt"].get<double>(), speed, 10 + speed * 0.1) << entry;
            if (speed > 60) ++flying;
            EXPECT_TRUE(entry.contains("TrackTrue") && entry.contains("VerticalSpeedFpm"));
        }
    }
    EXPECT_GE(flying, 2);
}

TEST(SessionTool, BadOptionsAndUnknownAreasFailClearly) {
    TempFolder folder;
    WriteWorkFolder(folder);
    EXPECT_EQ(RunTool("tarnwick-session", {"--work", folder.String()}).ExitStatus, 2) << "no session chosen";
    EXPECT_EQ(RunTool("tarnwick-session", {"--demo", "--seconds", "soon"}).ExitStatus, 2);
    const auto unknown =
        RunTool("tarnwick-session", {"--demo", "--work", folder.String(), "--airport", "Nowhere  (XXXX)"});
    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("Nowhere"), std::string::npos);
    const auto help = RunTool("tarnwick-session", {"--help"});
    EXPECT_EQ(help.ExitStatus, 0);
    EXPECT_NE(help.Out.find("the first airport of the list"), std::string::npos);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(SessionTool, ARecordedDemoReplaysToTheSameLines) {
    TempFolder folder;
    WriteWorkFolder(folder);
    const std::string recording = (folder.Path() / "demo.rec").string();
    const auto live = RunTool("tarnwick-session", {"--demo", "--work", folder.String(), "--seconds", "65",
                                                   "--say", "hello", "--record", recording, "--json"});
    ASSERT_EQ(live.ExitStatus, 0) << live.Err;
    const auto replay =
        RunTool("tarnwick-session", {"--replay", recording, "--work", folder.String(), "--json"});
    ASSERT_EQ(replay.ExitStatus, 0) << replay.Err;
    // The chat line said live is the program's own, not received.
    const std::string said = "{\"time\":0,\"chat\":\"ATC Controller: hello\"}\n";
    ASSERT_NE(live.Out.find(said), std::string::npos);
    std::string expected = live.Out;
    expected.erase(expected.find(said), said.size());
    EXPECT_EQ(replay.Out, expected);
    EXPECT_GT(JsonLines(replay.Out).size(), 100u);

    // Replayed and recorded again, the second recording replays the same.
    const std::string again = (folder.Path() / "again.rec").string();
    ASSERT_EQ(
        RunTool("tarnwick-session", {"--replay", recording, "--work", folder.String(), "--record", again})
            .ExitStatus,
        0);
    EXPECT_EQ(RunTool("tarnwick-session", {"--replay", again, "--work", folder.String(), "--json"}).Out,
              expected);

    // A crash leaves the last line cut short: the replay plays up to it and says so.
    std::string text = ReadAll(recording);
    text.resize(text.size() * 2 / 3);
    WriteText(folder.Path() / "cut.rec", text);
    const auto cut = RunTool("tarnwick-session", {"--replay", (folder.Path() / "cut.rec").string(), "--work",
                                                  folder.String(), "--json"});
    EXPECT_EQ(cut.ExitStatus, 0) << cut.Err;
    EXPECT_NE(cut.Err.find("cut short; the recording is read up to the line before"), std::string::npos)
        << cut.Err;
    EXPECT_EQ(expected.compare(0, cut.Out.size() - 200, cut.Out, 0, cut.Out.size() - 200), 0);

    // Damage in the middle: a clear line number; no header: not a recording.
    text = ReadAll(recording);
    const std::size_t line = text.find("\"kind\":\"message\"");
    text.replace(line, 6, "\"k1nd\"");
    WriteText(folder.Path() / "damaged.rec", text);
    const auto damaged = RunTool("tarnwick-session", {"--replay", (folder.Path() / "damaged.rec").string(),
                                                      "--work", folder.String(), "--json"});
    EXPECT_NE(damaged.Err.find(": line 6: no \"kind\""), std::string::npos) << damaged.Err;
    WriteText(folder.Path() / "plain.txt", "hello\n");
    const auto plain = RunTool(
        "tarnwick-session", {"--replay", (folder.Path() / "plain.txt").string(), "--work", folder.String()});
    EXPECT_EQ(plain.ExitStatus, 1);
    EXPECT_NE(plain.Err.find("plain.txt: line 1: not JSON: unexpected character at offset 0"),
              std::string::npos)
        << plain.Err;
}

TEST(SessionTool, AFullDiskStopsTheRecordingWhileTheSessionGoesOn) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    TempFolder folder;
    WriteWorkFolder(folder);
    const auto run = RunTool("tarnwick-session", {"--demo", "--work", folder.String(), "--seconds", "20",
                                                  "--record", "/dev/full", "--json"});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(
        run.Err.find("The recording stopped: writing /dev/full failed: No space left on device. The session "
                     "goes on."),
        std::string::npos)
        << run.Err;
    EXPECT_GT(JsonLines(run.Out).size(), 20u);
}

}  // namespace
}  // namespace tarnwick
