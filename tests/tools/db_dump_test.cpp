#include <gtest/gtest.h>

#include "base/file_system.h"
#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::RunTool;
using testing::TempFolder;

void WriteWorkFolder(const TempFolder& folder, std::int32_t airportCount) {
    SettingsRecord settings;
    settings.ProgramTitle = kSettingsFileTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = "C:\\Fl\xFCgsimulator";
    settings.AirportCount = airportCount;
    settings.AirspaceCount = 0;
    WriteSettingsFile(folder.Path() / kSettingsFileName, settings);
    std::vector<AirportRecord> airports(2);
    airports[0].Name = "Boeing Field";
    airports[0].IcaoId = "KBFI";
    airports[0].Lat = 47.53;
    airports[0].Lon = -122.30199999999999;
    RunwayEntry& runway = airports[0].Runways.Grow(0);
    runway.PrimaryId = "14R";
    airports[0].RunwayCount = 1;
    WriteAirportDatabase(folder.Path() / kAirportsFileName, airports);
    WriteAirspaceDatabase(folder.Path() / kAirspacesFileName, std::vector<AirspaceRecord>(1));
}

TEST(DbDump, PrintsSettingsAndFilledEntriesAsJson) {
    TempFolder folder;
    WriteWorkFolder(folder, 1);
    const auto run = RunTool("tarnwick-db", {"dump", folder.String()});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_NE(run.Out.find("\"FsFolder\": \"C:\\\\Fl\xC3\xBCgsimulator\""), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\"IcaoId\": \"KBFI\""), std::string::npos);
    EXPECT_NE(run.Out.find("\"Lon\": -122.30199999999999"), std::string::npos) << "doubles read back exactly";
    EXPECT_NE(run.Out.find("\"PrimaryId\": \"14R\""), std::string::npos);
    EXPECT_NE(run.Out.find("\"airspaces\": []"), std::string::npos);
    EXPECT_EQ(run.Out.find("\"SecondaryId\""), run.Out.rfind("\"SecondaryId\""))
        << "the empty last runway slot is not listed";
}

TEST(DbDump, ReportsDamageAfterPrintingWhatItCould) {
    TempFolder folder;
    WriteWorkFolder(folder, 5);  // the file holds one airport, the settings claim five
    const auto run = RunTool("tarnwick-db", {"dump", folder.String()});
    EXPECT_NE(run.ExitStatus, 0);
    EXPECT_NE(run.Err.find("world_airports.dat"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("KBFI"), std::string::npos);
}

TEST(DbDump, AFileHoldingMoreThanAnnouncedIsReportedLikeAShortOne) {
    TempFolder folder;
    WriteWorkFolder(folder, 0);  // the file holds one airport, the settings claim none
    for (const char* command : {"dump", "list"}) {
        const auto run = RunTool("tarnwick-db", {command, folder.String()});
        EXPECT_EQ(run.ExitStatus, 1) << command;
        EXPECT_NE(run.Err.find("world_airports.dat"), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out.find("KBFI"), std::string::npos) << "only the announced entries load";
    }
}

TEST(DbDump, AMissingWorkFolderIsAClearError) {
    const auto run = RunTool("tarnwick-db", {"dump", "/nonexistent/work"});
    EXPECT_NE(run.ExitStatus, 0);
    EXPECT_NE(run.Err.find("atc_settings.tcs"), std::string::npos) << run.Err;
    EXPECT_TRUE(run.Out.empty());
}

}  // namespace
}  // namespace tarnwick
