#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <nlohmann/json.hpp>

#include "app/qt_window_flow.h"
#include "selection/choice_window.h"
#include "selection_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/run_tool.h"

namespace tarnwick {
namespace {

using testing::RunTool;
using testing::WorkFolderFixture;

class QuietFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void AreaChosen() override {}
    void EndProgram() override {}
};

// Gathers through the window's own controls, as a user would.
void ChooseInWindow(ProgramState& state, bool sector, int row) {
    testing::RecordingMessageBoxes boxes;
    QuietFlow flow(state, boxes, state.Settings.WorkFolder);
    auto* window = flow.ShowChoice();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->LoadingTick();
    if (sector) window->findChild<QRadioButton*>(kSectorOptionName)->click();
    window->findChild<QComboBox*>(sector ? kSectorComboName : kAirportComboName)->setCurrentIndex(row);
    window->findChild<QPushButton*>(kGetAreaButtonName)->click();
    delete window;
}

void ExpectToolAgrees(const ProgramState& state, const nlohmann::json& out) {
    EXPECT_EQ(out["AreaTitle"], state.Area.AreaTitle);
    EXPECT_EQ(out["AreaKind"], state.Area.AreaKind);
    EXPECT_EQ(out["AreaCenterLat"].get<double>(), state.Area.AreaCenterLat);
    EXPECT_EQ(out["AreaCenterLon"].get<double>(), state.Area.AreaCenterLon);
    EXPECT_EQ(out["DisplayHighArtcc"].get<bool>(), state.Display.DisplayHighArtcc);
    EXPECT_EQ(out["DisplayLowArtcc"].get<bool>(), state.Display.DisplayLowArtcc);
    ASSERT_EQ(out["airports"].size(), static_cast<std::size_t>(state.Area.AreaAirportCount));
    for (std::size_t i = 0; i < out["airports"].size(); ++i) {
        EXPECT_EQ(out["airports"][i]["IcaoId"], state.Area.AreaAirports[i].IcaoId);
        EXPECT_EQ(out["airports"][i]["Lat"].get<double>(), state.Area.AreaAirports[i].Lat);
    }
    ASSERT_EQ(out["airspaces"].size(), static_cast<std::size_t>(state.Area.AreaAirspaceCount));
    for (std::size_t j = 0; j < out["airspaces"].size(); ++j) {
        const AirspaceRecord& s = state.Area.AreaAirspaces[j];
        EXPECT_EQ(out["airspaces"][j]["ClassText"], s.ClassText);
        EXPECT_EQ(out["airspaces"][j]["FullName"], s.FullName);
        EXPECT_EQ(out["airspaces"][j]["FrequencyText"], s.FrequencyText);
        EXPECT_EQ(out["airspaces"][j]["ToAltitude"], s.ToAltitude);
        EXPECT_EQ(out["airspaces"][j]["PointCount"], s.PointCount);
    }
}

TEST(DbArea, GathersTheSameAirportAreaAsTheWindow) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces());
    ProgramState state;
    fixture.PrepareState(state);
    ChooseInWindow(state, false, 0);
    ASSERT_EQ(state.Area.AreaTitle, "Seattle-Tacoma Intl  (KSEA)");

    const auto run =
        RunTool("tarnwick-db", {"area", fixture.Folder.String(), "--airport", state.Area.AreaTitle});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    ExpectToolAgrees(state, nlohmann::json::parse(run.Out));
}

TEST(DbArea, GathersTheSameSectorAsTheWindowWithTheDeclinationLoaded) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces(), true, 9000);
    ProgramState state;
    fixture.PrepareState(state);
    ChooseInWindow(state, true, 0);
    ASSERT_EQ(state.Area.AreaTitle, "SEATTLE CENTER");

    const auto run = RunTool("tarnwick-db", {"area", "--sector", "SEATTLE CENTER", fixture.Folder.String()});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    ExpectToolAgrees(state, nlohmann::json::parse(run.Out));
}

TEST(DbArea, UnknownChoicesAndMissingFilesAreErrors) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces(), false);
    auto run =
        RunTool("tarnwick-db", {"area", fixture.Folder.String(), "--airport", "Seattle-Tacoma Intl (KSEA)"});
    EXPECT_NE(run.ExitStatus, 0);
    EXPECT_NE(run.Err.find("Seattle-Tacoma Intl (KSEA)"), std::string::npos) << run.Err;
    EXPECT_TRUE(run.Out.empty());

    // Without magdec.bgl the area is still gathered, and the missing file reported.
    run = RunTool("tarnwick-db", {"area", fixture.Folder.String(), "--airport", "Boeing Field  (KBFI)"});
    EXPECT_NE(run.ExitStatus, 0);
    EXPECT_NE(run.Err.find("magdec.bgl"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("\"AreaTitle\": \"Boeing Field  (KBFI)\""), std::string::npos) << run.Out;

    run = RunTool("tarnwick-db", {"area", fixture.Folder.String()});
    EXPECT_EQ(run.ExitStatus, 2);
}

TEST(DbList, PrintsTheWindowsListsInOrder) {
    std::vector<AirportRecord> airports = testing::SeattleAirports();
    airports[1].Name = "Z\xFCrich";  // ANSI text comes out as UTF-8
    const WorkFolderFixture fixture(airports, testing::SeattleAirspaces());
    auto run = RunTool("tarnwick-db", {"list", fixture.Folder.String()});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(
        run.Out,
        "Seattle-Tacoma Intl  (KSEA)\nZ\xC3\xBCrich  (KBFI)\nPortland Intl  (KPDX)\nVancouver Intl  (CYVR)\n"
        "SEATTLE CENTER\nVANCOUVER FIR\n");
    run = RunTool("tarnwick-db", {"list", fixture.Folder.String(), "--sectors"});
    EXPECT_EQ(run.Out, "SEATTLE CENTER\nVANCOUVER FIR\n");
}

}  // namespace
}  // namespace tarnwick
