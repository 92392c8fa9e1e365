#include <gtest/gtest.h>

#include <QImage>
#include <fstream>

#include "scope_tool_area.h"
#include "support/run_tool.h"

namespace tarnwick {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::TempFolder;
using testing::WriteArea;

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

TEST(DbRender, TrafficIsDrawnOverTheBackgroundWithoutTheOwnParticipant) {
    TempFolder folder;
    WriteArea(folder);
    const auto run =
        RunTool("tarnwick-db", {"render", folder.String(), "--airport", "Z\xC3\xBCrich Test  (LSZT)",
                                "--traffic", testing::WriteTraffic(folder), "--calls"});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const auto lines = Lines(run.Out);
    // At level 9 the 500 ft heading line is shorter than a pixel.
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()),
              (std::vector<std::string>{"Ellipse 395 305 405 295 pen=#00c000/1/solid fill=#00c000/solid",
                                        "MoveToEx 400 300", "LineTo 400 300 pen=#00c000/1/solid",
                                        "TextOutA 400 300 #00c000 \"N123 Hdg: 90 Alt: 3500\""}))
        << run.Out;

    const std::string bad = (folder.Path() / "bad.json").string();
    std::ofstream(bad) << R"({"Players": [{"Name": "N1", "PlayerId": 4294967296}]})";
    const auto refused =
        RunTool("tarnwick-db", {"render", folder.String(), "--sector", "TEST CENTER", "--traffic", bad});
    EXPECT_EQ(refused.ExitStatus, 1);
    EXPECT_NE(refused.Err.find("Players[0].PlayerId does not fit 32 bits"), std::string::npos) << refused.Err;
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
