#include <gtest/gtest.h>

#include <QImage>

#include "scenery/database_file.h"
#include "state/settings.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::RunTool;
using testing::TempFolder;

// One airport with a runway, and one ARTCC airspace whose rectangle holds it.
void WriteArea(const TempFolder& folder) {
    SettingsRecord settings;
    settings.ProgramTitle = kProgramTitle;
    settings.SetupDone = 1;
    settings.FsVersion = 1;
    settings.FsFolder = (folder.Path() / "fs").string();
    settings.AirportCount = 1;
    settings.AirspaceCount = 1;
    WriteSettingsFile(folder.Path() / kSettingsFileName, settings);
    // A declination file that announces no grid: directions stay uncorrected.
    folder.Write("fs/scenery/magdec.bgl", std::vector<std::uint8_t>(200, 0));

    std::vector<AirportRecord> airports(2);
    AirportRecord& airport = airports[0];
    airport.Name = "Z\xFCrich Test";  // Windows-1252 u-umlaut
    airport.IcaoId = "LSZT";
    airport.Lat = 47.0;
    airport.Lon = 8.0;
    RunwayEntry& runway = airport.Runways.Grow(0);
    runway.PrimaryId = "14";
    runway.SecondaryId = "32";
    runway.CenterLat = 47.0;
    runway.CenterLon = 8.0;
    runway.End1Lat = 47.01;
    runway.End1Lon = 7.99;
    runway.End2Lat = 46.99;
    runway.End2Lon = 8.01;
    airport.RunwayCount = 1;
    WriteAirportDatabase(folder.Path() / kAirportsFileName, airports);

    std::vector<AirspaceRecord> airspaces(2);
    AirspaceRecord& sector = airspaces[0];
    sector.ClassText = kArtccLow;
    sector.FullName = "TEST CENTER";
    sector.Corner1Lat = 48;
    sector.Corner2Lat = 46;
    sector.Corner1Lon = 7;
    sector.Corner2Lon = 9;
    sector.CenterLat = 47.5;
    sector.CenterLon = 8.5;
    sector.Points.Grow(0) = BoundaryPoint{0, 48, 7, 0};
    sector.Points.Grow(1) = BoundaryPoint{5, 48, 9, 0};
    sector.PointCount = 2;
    WriteAirspaceDatabase(folder.Path() / kAirspacesFileName, airspaces);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST(DbRender, PrintsEveryCallOfTheOpeningViewInOrder) {
    TempFolder folder;
    WriteArea(folder);
    const auto run = RunTool(
        "tarnwick-db", {"render", folder.String(), "--airport", "Z\xC3\xBCrich Test  (LSZT)", "--calls"});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    // Level 9 around the airport, 13.25 px per degree of longitude and 19.87
    // per degree of latitude: the sector (purple only when chosen as a
    // sector), then the airport's red dot in the middle of 800 x 600.
    EXPECT_EQ(Lines(run.Out), (std::vector<std::string>{
                                  "Ellipse 402 295 412 285 pen=#00ffff/1/solid fill=#00ffff/solid",
                                  "MoveToEx 387 280",
                                  "LineTo 413 280 pen=#00ffff/3/solid",
                                  "SetPixelV 400 300 #ff0000",
                              }))
        << run.Out;
}

TEST(DbRender, SectorZoomCentreAndPicture) {
    TempFolder folder;
    WriteArea(folder);
    const std::string png = (folder.Path() / "scope.png").string();
    const auto run =
        RunTool("tarnwick-db", {"render", folder.String(), "--sector", "TEST CENTER", "--zoom", "30",
                                "--size", "400x300", "--center", "47,8", "--calls", "--out", png});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const auto lines = Lines(run.Out);
    // Zoomed in on the runway: its line, its designators and the name, in UTF-8.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "TextOutA 200 150 #ffffff \"Z\xC3\xBCrich Test\""),
              lines.end())
        << run.Out;
    EXPECT_NE(run.Out.find("LineTo"), std::string::npos);
    EXPECT_NE(run.Out.find(" #ffffff \"14\""), std::string::npos);
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.pixelColor(0, 299), QColor(Qt::black));

    const auto purple =
        RunTool("tarnwick-db", {"render", folder.String(), "--sector", "TEST CENTER", "--calls"});
    EXPECT_NE(purple.Out.find("pen=#c000c0/3/solid"), std::string::npos) << purple.Out;
}

TEST(DbRender, DamagedDatabasesAreReportedAsAreaAndListReportThem) {
    TempFolder folder;
    WriteArea(folder);
    std::filesystem::resize_file(folder.Path() / kAirspacesFileName, 40);  // cut inside the sector
    for (const std::string command : {"render", "area", "list"}) {
        std::vector<std::string> args = {command, folder.String()};
        if (command != "list") args.insert(args.end(), {"--airport", "Z\xC3\xBCrich Test  (LSZT)"});
        const auto run = RunTool("tarnwick-db", args);
        EXPECT_EQ(run.ExitStatus, 1) << command;
        EXPECT_NE(run.Err.find("world_airspaces.dat"), std::string::npos) << command << ": " << run.Err;
    }
}

TEST(DbRender, BadArgumentsAndUnknownAreasFailClearly) {
    TempFolder folder;
    WriteArea(folder);
    const auto unknown = RunTool("tarnwick-db", {"render", folder.String(), "--airport", "Nowhere  (XXXX)"});
    EXPECT_EQ(unknown.ExitStatus, 1);
    EXPECT_NE(unknown.Err.find("Nowhere"), std::string::npos);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"render", folder.String(), "--sector", "TEST CENTER", "--zoom", "56"},
             {"render", folder.String(), "--sector", "TEST CENTER", "--size", "0x10"},
             {"render", folder.String(), "--sector", "TEST CENTER", "--center", "47"},
             {"render", folder.String()},
             {"render", folder.String(), "--sector", "A", "--airport", "B"},
         }) {
        const auto run = RunTool("tarnwick-db", args);
        EXPECT_EQ(run.ExitStatus, 2) << args.back();
        EXPECT_NE(run.Err.find("usage"), std::string::npos);
    }
    const auto missing =
        RunTool("tarnwick-db", {"render", (folder.Path() / "absent").string(), "--sector", "X"});
    EXPECT_EQ(missing.ExitStatus, 1);
}

}  // namespace
}  // namespace tarnwick
