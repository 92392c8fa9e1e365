#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "scope_tool_area.h"
#include "support/run_tool.h"

namespace tarnwick {
namespace {

using nlohmann::json;
using testing::Lines;
using testing::RunTool;
using testing::TempFolder;
using testing::WriteArea;
using testing::WriteTraffic;

const std::string kAirport = "Z\xC3\xBCrich Test  (LSZT)";

class DbPointer : public ::testing::Test {
   protected:
    DbPointer() {
        WriteArea(folder);
        traffic = WriteTraffic(folder);
    }
    json Hover(const std::string& at) {
        const auto run = RunTool("tarnwick-db", {"hover", folder.String(), "--airport", kAirport, "--traffic",
                                                 traffic, "--at", at});
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        return json::parse(run.Out);
    }
    TempFolder folder;
    std::string traffic;
};

TEST_F(DbPointer, HoverGivesTheBoxTextAndTheAirspaceHighlight) {
    // The sector's centre disc is at (407, 290) at level 9; N123 at (400, 300).
    const json sector = Hover("407,290");
    EXPECT_EQ(sector["text"],
              "AIRSPACE FULLNAME: TEST CENTER\r\nAIRSPACE TYPE: ARTCC/FIR (LOW)\r\nFREQUENCY: ");
    EXPECT_EQ(sector["hoverTarget"], (json{{"type", "ARTCC/FIR (LOW)"}, {"lat", 47.5}, {"lon", 8.5}}));

    const json aircraft = Hover("402,303");
    EXPECT_EQ(aircraft["text"], "PLAYER: N123\r\nHEADING: 90\r\nALTITUDE: 3500 ft\r\nTYPE PLANE: Jet");
    EXPECT_TRUE(aircraft["hoverTarget"].is_null());

    EXPECT_EQ(Hover("10,10"), (json{{"text", ""}, {"hoverTarget", nullptr}}));
}

TEST_F(DbPointer, MeasurePrintsTheLineItsLabelThenTheRedraw) {
    const auto run = RunTool("tarnwick-db", {"measure", folder.String(), "--airport", kAirport, "--traffic",
                                             traffic, "--from", "400,300", "--to", "200,300"});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const auto lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 3u) << run.Out;
    EXPECT_EQ(lines[0], "MoveToEx 400 300");
    EXPECT_EQ(lines[1], "LineTo 200 300 pen=#00c000/1/dot");
    EXPECT_TRUE(lines[2].starts_with("TextOutA ")) << lines[2];
    EXPECT_NE(lines[2].find(" #ffffff \"Dist: "), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find(" nm  Course: 2"), std::string::npos) << lines[2];
    EXPECT_TRUE(lines[2].ends_with(" *\"")) << lines[2];

    const auto render = RunTool(
        "tarnwick-db", {"render", folder.String(), "--airport", kAirport, "--traffic", traffic, "--calls"});
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()), Lines(render.Out));
}

TEST_F(DbPointer, MissingPointerPositionsAreUsageErrors) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"hover", folder.String(), "--airport", kAirport},
             {"hover", folder.String(), "--airport", kAirport, "--at", "4"},
             {"measure", folder.String(), "--airport", kAirport, "--from", "1,1"},
             {"measure", folder.String(), "--airport", kAirport, "--from", "1,1", "--to", "2,2", "--calls"},
         }) {
        const auto run = RunTool("tarnwick-db", args);
        EXPECT_EQ(run.ExitStatus, 2) << args.back();
        EXPECT_NE(run.Err.find("usage"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarnwick
