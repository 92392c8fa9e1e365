#include "radar/pointer_readouts.h"

#include <gtest/gtest.h>

#include "radar/hover_box.h"
#include "radar/measuring_line.h"
#include "scope_fixture.h"

namespace tarnwick {
namespace {

using testing::AddPlayer;

// Keeps what the readouts ask of the window, one line per request.
class FakeHost : public PointerHost {
   public:
    void SetPeriodicRedraw(bool running) override { Log(running ? "redraw on" : "redraw off"); }
    void CenterOn(double lon, double lat) override {
        Log("centre " + std::to_string(lat) + " " + std::to_string(lon));
    }
    void DrawMeasuring(GeoPosition anchor, GeoPosition pointer) override {
        Log("measure " + std::to_string(anchor.Lat) + " -> " + std::to_string(pointer.Lat));
    }
    void ShowBox(const std::string& text) override { Log("show " + text); }
    void HideBox() override { Log("hide"); }

    std::vector<std::string> Take() { return std::exchange(log_, {}); }

   private:
    void Log(std::string line) { log_.push_back(std::move(line)); }
    std::vector<std::string> log_;
};

class PointerReadoutsTest : public ::testing::Test {
   protected:
    PointerReadoutsTest() { AddPlayer(state, "N1", 5, 47, -122); }
    void Tick() { readouts.HoverTick({view, state.Area, state.Display, {state.Session.Traffic, 1, "ATC"}}); }
    ProgramState state;
    RadarView view = testing::ViewAround(47, -122, 0.05, 0.05, 40);
    HoverTarget hover;
    FakeHost host;
    PointerReadouts readouts{host, hover};
};

TEST_F(PointerReadoutsTest, MeasuringStopsThePeriodicRedrawAndKeepsTheBoxAway) {
    readouts.ButtonDown(kLeftButton, {47, -122});
    EXPECT_TRUE(readouts.MeasureActive());
    readouts.PointerMove({47.5, -122});
    Tick();  // right over an aircraft, but measuring
    readouts.ButtonUp(kLeftButton);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{"redraw off", "measure 47.000000 -> 47.500000", "redraw on"}));
    EXPECT_FALSE(readouts.MeasureActive());
    EXPECT_EQ(readouts.MeasureAnchor().Lat, 0);

    // Other buttons and a stray release do nothing; the right button recentres.
    readouts.ButtonDown(3, {1, 1});
    readouts.ButtonDown(4, {1, 1});
    readouts.ButtonUp(kRightButton);
    readouts.ButtonUp(kLeftButton);
    readouts.ButtonDown(kRightButton, {46.5, -121.5});
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"centre 46.500000 -121.500000"}));
}

TEST_F(PointerReadoutsTest, TheBoxStaysUntilThePointerMovesAndTheMoveClearsTheHighlight) {
    readouts.PointerMove({47, -122});
    Tick();
    state.Session.Traffic[0].Altitude = 900;  // the aircraft moves on; the box does not follow
    Tick();
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{"show PLAYER: N1\r\nHEADING: 0\r\nALTITUDE: 0 ft\r\nTYPE PLANE: "}));
    hover = HoverTarget{"Current Selected Airspace", kClassB, 47, -122};
    readouts.PointerMove({47.04, -122});
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"hide"}));
    EXPECT_EQ(readouts.BoxText(), "");
    EXPECT_FALSE(hover.DesignatesAirspace());
    Tick();  // nothing there
    EXPECT_TRUE(host.Take().empty());
}

TEST(MeasuringLine, DottedLineLabelAtTheGreatCircleMiddleThenTheRedraw) {
    ProgramState state;
    AddPlayer(state, "N1", 5, 0.1, -0.1);
    const RadarView view = testing::ViewAround(0, -0.1, 0.2, 0.2, 30);
    const testing::Pass pass = testing::Record(state, view, {}, [](const ScopeContext& scope) {
        DrawMeasuringMove(scope, {0, 0}, {0, -0.2});
    });
    ASSERT_GE(pass.Lines.size(), 5u);
    EXPECT_EQ(pass.Calls[0].Kind, CallKind::Clear);
    EXPECT_EQ(pass.Lines[1], "MoveToEx 750 400");
    EXPECT_EQ(pass.Lines[2], "LineTo 250 400 pen=#00c000/1/dot");
    EXPECT_EQ(pass.Lines[3], "TextOutA 500 400 #ffffff \"Dist: 12 nm  Course: 270 *\"");
    // The traffic over it, drawn with a solid pen.
    EXPECT_EQ(pass.Lines[4], "Ellipse 495 205 505 195 pen=#00c000/1/solid fill=#00c000/solid");
    EXPECT_EQ(pass.Canvas.State(), CanvasState{});
}

bool Covers(ScreenPoint corner, BoxSize box, ScreenPoint p) {
    return p.X >= corner.X && p.X < corner.X + box.Width && p.Y >= corner.Y && p.Y < corner.Y + box.Height;
}

TEST(HoverBox, BesideThePointerNeverOverItAndInsideThePictureWhereItFits) {
    const BoxSize picture{200, 100};
    EXPECT_EQ(PlaceHoverBox({50, 30}, {60, 30}, picture), (ScreenPoint{62, 42}));
    EXPECT_EQ(PlaceHoverBox({190, 95}, {60, 30}, picture), (ScreenPoint{118, 53}));
    for (const BoxSize box : {BoxSize{60, 30}, BoxSize{150, 20}, BoxSize{40, 90}, BoxSize{190, 95}}) {
        for (int x = 0; x < picture.Width; ++x) {
            for (int y = 0; y < picture.Height; ++y) {
                const ScreenPoint p{x, y};
                const ScreenPoint corner = PlaceHoverBox(p, box, picture);
                ASSERT_FALSE(Covers(corner, box, p))
                    << x << "," << y << " " << box.Width << "x" << box.Height;
                const bool besideX =
                    x + kHoverBoxGapPx + box.Width <= picture.Width || x - kHoverBoxGapPx - box.Width >= 0;
                const bool besideY =
                    y + kHoverBoxGapPx + box.Height <= picture.Height || y - kHoverBoxGapPx - box.Height >= 0;
                if (besideX || besideY) {
                    ASSERT_TRUE(corner.X >= 0 && corner.Y >= 0 && corner.X + box.Width <= picture.Width &&
                                corner.Y + box.Height <= picture.Height)
                        << x << "," << y << " " << box.Width << "x" << box.Height;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarnwick
