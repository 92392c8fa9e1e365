#include "radar/traffic_layer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scope_fixture.h"

namespace tarnwick {
namespace {

using testing::AddPlayer;
using testing::Pass;

constexpr std::int32_t kOwnId = 7;
constexpr const char* kOwnName = "ATC Controller";

class TrafficLayer : public ::testing::Test {
   protected:
    TrafficLayer() { state.Session.OwnPlayerId = kOwnId; }
    Pass Draw() {
        return testing::Record(
            state, view, {}, [](const ScopeContext& s) { DrawTraffic(s); }, kOwnName);
    }
    std::vector<std::string> Labels(const Pass& pass) {
        std::vector<std::string> labels;
        for (const RecordedCall& c : pass.OfKind(CallKind::TextOutA)) labels.push_back(c.Text);
        return labels;
    }
    ProgramState state;
    // 50,000 pixels per degree of longitude: the 500 ft line is about 100 px long.
    RadarView view = testing::ViewAround(47, -122, 0.01, 0.01, 50);
};

TEST_F(TrafficLayer, DrawsDiscHeadingLineAndLabelThenLeavesTheDefaultState) {
    PlayerRecord& n123 = AddPlayer(state, "N123", 3, 47, -122);
    n123.Heading = 90;
    n123.Altitude = 3500;
    const Pass pass = Draw();
    ASSERT_EQ(pass.Calls.size(), 4u) << ::testing::PrintToString(pass.Lines);
    EXPECT_EQ(pass.Lines[0], "Ellipse 495 405 505 395 pen=#00c000/1/solid fill=#00c000/solid");
    EXPECT_EQ(pass.Lines[1], "MoveToEx 500 400");
    const RecordedCall& line = pass.Calls[2];
    EXPECT_EQ(line.Kind, CallKind::LineTo);
    EXPECT_NEAR(line.Args[0], 500 + 500.0 / 6080 / 60 / std::cos(47 * M_PI / 180) * 50000, 1.5);
    EXPECT_EQ(line.Args[1], 400);
    EXPECT_EQ(pass.Lines[3], "TextOutA 500 400 #00c000 \"N123 Hdg: 90 Alt: 3500\"");
    EXPECT_EQ(pass.Canvas.State(), CanvasState{});
}

TEST_F(TrafficLayer, OnlyOtherPlayersStrictlyInsideTheViewAreDrawn) {
    AddPlayer(state, kOwnName, 99, 47, -122);                    // own name, other id
    AddPlayer(state, "SAME ID", kOwnId, 47, -122);               // own id, other name
    AddPlayer(state, "WATCHER", 4, 47, -122, kKindObserver);     // not a player
    AddPlayer(state, "EDGE", 5, 47.01, -122);                    // on the north edge
    AddPlayer(state, "FAR", 6, 48, -122);                        // outside
    AddPlayer(state, "A", 8, 47.005, -121.995).Heading = 270.5;  // drawn
    AddPlayer(state, "B", 9, 47.005, -121.995).Altitude = -40;   // same place: labels overlap
    EXPECT_EQ(Labels(Draw()), (std::vector<std::string>{"A Hdg: 270.5 Alt: 0", "B Hdg: 0 Alt: -40"}));

    // A record without a position report yet sits at 0, 0 and is drawn there
    // when that point is in view.
    AddPlayer(state, "NEW", 10, 0, 0);
    view = testing::ViewAround(0, 0, 1, 1, 20);
    EXPECT_EQ(Labels(Draw()), (std::vector<std::string>{"NEW Hdg: 0 Alt: 0"}));
}

TEST_F(TrafficLayer, HeadingTurnsTrueAcrossNorthAndADamagedRecordIsLeftOut) {
    // Five degrees east: magnetic 359 is true 4, just east of north.
    state.Declination->Cells[DeclinationGrid::IndexOf(47, 360 - 122)] = 911;
    AddPlayer(state, "DAMAGED", 2, 47, -122).Heading = 1e9;
    AddPlayer(state, "N1", 3, 47, -122).Heading = 359;
    const Pass pass = Draw();
    EXPECT_EQ(Labels(pass), (std::vector<std::string>{"N1 Hdg: 359 Alt: 0"}));
    const RecordedCall line = pass.OfKind(CallKind::LineTo).at(0);
    EXPECT_GT(line.Args[0], 500);
    EXPECT_LT(line.Args[0], 510);
    EXPECT_LT(line.Args[1], 350);
}

}  // namespace
}  // namespace tarnwick
