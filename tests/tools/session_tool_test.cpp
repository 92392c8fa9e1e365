#include <gtest/gtest.h>

#include <cmath>
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

}  // namespace
}  // namespace tarnwick
