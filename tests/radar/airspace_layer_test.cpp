#include "radar/airspace_layer.h"

#include <gtest/gtest.h>

#include "geo/geodesy.h"
#include "scope_fixture.h"

namespace tarnwick {
namespace {

using testing::AddAirspace;
using testing::Append;
using testing::Pass;

AirspaceRecord Airspace(const char* type, const char* name, double lat, double lon) {
    AirspaceRecord s;
    s.ClassText = type;
    s.FullName = name;
    s.CenterLat = lat;
    s.CenterLon = lon;
    return s;
}

void Point(AirspaceRecord& s, std::uint8_t kind, double lat, double lon, std::int32_t radius = 0) {
    Append(s.Points, s.PointCount, BoundaryPoint{kind, lat, lon, radius});
}

class AirspaceLayer : public ::testing::Test {
   protected:
    AirspaceLayer() {
        testing::AllSwitchesOn(state);
        AddAirport(state, AirportRecord{});
    }
    static void AddAirport(ProgramState& s, AirportRecord a) { testing::AddAirport(s, a); }
    Pass Draw() {
        return testing::Record(state, view, hover, [](const ScopeContext& s) { DrawAirspaces(s); });
    }
    ProgramState state;
    RadarView view = testing::ViewAround(47, -122, 5, 5, 12);
    HoverTarget hover;
};

// Outline lines of one colour and width, in drawing order.
std::vector<RecordedCall> Outline(const Pass& pass, Rgb color) {
    std::vector<RecordedCall> found;
    for (const RecordedCall& c : pass.Calls) {
        if (c.State.DrawColor == color &&
            (c.Kind == CallKind::LineTo || c.Kind == CallKind::Arc ||
             (c.Kind == CallKind::Ellipse && c.State.Fill == FillStyle::Transparent))) {
            found.push_back(c);
        }
    }
    return found;
}

AirspaceRecord Square(const char* type, const char* name, double lat, double lon) {
    AirspaceRecord s = Airspace(type, name, lat, lon);
    Point(s, 0, lat + 1, lon - 1);
    Point(s, 5, lat + 1, lon + 1);
    Point(s, 5, lat - 1, lon + 1);
    return s;
}

TEST_F(AirspaceLayer, OnlyTheChosenSectorIsPurple) {
    AddAirspace(state, Square(kArtccLow, "SEATTLE", 47, -122));
    AddAirspace(state, Square(kArtccLow, "VANCOUVER", 49, -123));
    AddAirspace(state, Square(kArtccHigh, "SEATTLE", 46, -121));
    AddAirspace(state, Square(kClassB, "SEATTLE", 47.4, -122.3));
    state.Area.AreaKind = "ARTCC/FIR sector";
    state.Area.AreaTitle = "SEATTLE";
    Pass pass = Draw();
    // Disc and two lines for each of the two sector airspaces, and the disc of
    // the class B airspace of the same name, which keeps its own outline style.
    EXPECT_EQ(pass.CountColor(kSectorPurple), 7u);
    for (const RecordedCall& line : Outline(pass, kSectorPurple)) {
        EXPECT_EQ(line.State.LineWidth, 3);
        EXPECT_EQ(line.State.Line, LineStyle::Solid);
    }
    const auto classB = Outline(pass, kAirspaceCyan);
    ASSERT_EQ(classB.size(), 4u);
    EXPECT_EQ(classB[3].State.DrawColor, kAirspaceCyan);
    EXPECT_EQ(classB[3].State.Line, LineStyle::Dash);
    EXPECT_EQ(classB[3].State.LineWidth, 1);
    EXPECT_EQ(classB[0].State.LineWidth, 3);  // VANCOUVER

    state.Area.AreaTitle = "SEATTLE ";  // exact text only
    EXPECT_EQ(Draw().CountColor(kSectorPurple), 0u);
    state.Area.AreaKind = "Airport";
    state.Area.AreaTitle = "SEATTLE";
    pass = Draw();
    EXPECT_EQ(pass.CountColor(kSectorPurple), 0u);
    EXPECT_EQ(pass.CountColor(kAirspaceCyan), 12u);
}

TEST_F(AirspaceLayer, SwitchedOffArtccAirspacesVanishUnlessHighlighted) {
    AddAirspace(state, Square(kArtccHigh, "HIGH ONE", 47, -122));
    AddAirspace(state, Square(kArtccLow, "LOW ONE", 48, -121));
    AddAirspace(state, Square(kTracon, "", 46, -123));
    state.Display.DisplayHighArtcc = false;
    Pass pass = Draw();
    EXPECT_EQ(pass.OfKind(CallKind::Ellipse).size(), 2u);
    state.Display.DisplayLowArtcc = false;
    EXPECT_EQ(Draw().OfKind(CallKind::Ellipse).size(), 1u);

    hover = {"Current Selected Airspace", kArtccHigh, 47, -122};
    pass = Draw();
    ASSERT_EQ(pass.OfKind(CallKind::Ellipse).size(), 2u);
    // Drawn last, on top: yellow disc, then the outline in width 3.
    EXPECT_EQ(pass.Lines[pass.Lines.size() - 5],
              "Ellipse 495 405 505 395 pen=#ffff00/1/solid fill=#ffff00/solid");
    EXPECT_EQ(pass.Calls.back().State.DrawColor, kHighlightYellow);
    EXPECT_EQ(pass.Calls.back().State.LineWidth, 3);
    EXPECT_EQ(Outline(pass, kHighlightYellow).size(), 2u);
}

TEST_F(AirspaceLayer, HighlightIgnoresTheViewAndNeedsBothTexts) {
    AddAirspace(state, Square(kClassB, "B", 60, -122));  // centre far outside the view
    AddAirspace(state, Square(kClassB, "B", 60, -122));
    EXPECT_TRUE(Draw().Calls.empty());
    hover = {"", kClassB, 60, -122};
    EXPECT_TRUE(Draw().Calls.empty());
    hover = {"Current Selected Airspace", kClassB, 60, -122};
    const Pass pass = Draw();
    // Both match and are skipped; the last one is drawn once, dashed, in yellow.
    EXPECT_EQ(pass.OfKind(CallKind::Ellipse).size(), 1u);
    const auto outline = Outline(pass, kHighlightYellow);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[0].State.Line, LineStyle::Dash);
    EXPECT_EQ(outline[0].State.LineWidth, 1);
}

TEST_F(AirspaceLayer, ArcsOfKindsThreeAndFourAreComplementary) {
    AirspaceRecord clockwise = Airspace(kClassB, "B", 47, -122);
    Point(clockwise, 1, 47, -122);
    Point(clockwise, 0, 47.5, -122);
    Point(clockwise, 3, 47, -121.3);
    AirspaceRecord counter = clockwise;
    counter.Points[2].Kind = 4;
    AddAirspace(state, clockwise);
    AddAirspace(state, counter);
    const auto arcs = Draw().OfKind(CallKind::Arc);
    ASSERT_EQ(arcs.size(), 2u);
    const ScreenPoint p = ProjectToScreen(view, 47.5, -122);
    const ScreenPoint e = ProjectToScreen(view, 47, -121.3);
    // Same bounding square; start and end radials swapped.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(arcs[0].Args[i], arcs[1].Args[i]);
    EXPECT_EQ((std::array{arcs[0].Args[4], arcs[0].Args[5], arcs[0].Args[6], arcs[0].Args[7]}),
              (std::array{e.X, e.Y, p.X, p.Y}));
    EXPECT_EQ((std::array{arcs[1].Args[4], arcs[1].Args[5], arcs[1].Args[6], arcs[1].Args[7]}),
              (std::array{p.X, p.Y, e.X, e.Y}));
    // Bounding square from the rounded diagonals: 30 nm -> 42 nm, 29 nm -> 41 nm.
    ASSERT_EQ(geo::DistanceNm(47, -122, 47, -121.3), 29);
    const geo::GeoPoint a = geo::DestinationNm(47, -122, 315, 42);
    const geo::GeoPoint b = geo::DestinationNm(47, -122, 135, 41);
    EXPECT_EQ(arcs[0].Args[0], ProjectToScreen(view, a.Lat, a.Lon).X);
    EXPECT_EQ(arcs[0].Args[3], ProjectToScreen(view, b.Lat, b.Lon).Y);
}

TEST_F(AirspaceLayer, OutlineProgramKeepsItsPositionAndCentre) {
    AirspaceRecord first = Airspace(kTracon, "", 47, -122);
    Point(first, 5, 47.2, -122.2);  // from latitude 0, longitude 0
    Point(first, 1, 47.1, -122.1);  // centre for what follows
    Point(first, 9, 10, 10);        // unknown kind: nothing
    AirspaceRecord second = Airspace(kTracon, "", 47.5, -122.5);
    Point(second, 2, 0, 0, 10);      // circle around the first airspace's centre
    Point(second, 5, 47.3, -122.3);  // again from (0, 0)
    AddAirspace(state, first);
    AddAirspace(state, second);
    const Pass pass = Draw();
    const auto moves = pass.OfKind(CallKind::MoveToEx);
    ASSERT_EQ(moves.size(), 2u);
    const ScreenPoint origin = ProjectToScreen(view, 0, 0);
    for (const RecordedCall& move : moves) {
        EXPECT_EQ(move.Args[0], origin.X);
        EXPECT_EQ(move.Args[1], origin.Y);
    }
    const auto ellipses = pass.OfKind(CallKind::Ellipse);
    ASSERT_EQ(ellipses.size(), 3u);                                      // two discs and the circle
    const geo::GeoPoint nw = geo::DestinationNm(47.1, -122.1, 315, 14);  // 10 nm x 1.4142
    const geo::GeoPoint se = geo::DestinationNm(47.1, -122.1, 135, 14);
    const ScreenPoint a = ProjectToScreen(view, nw.Lat, nw.Lon);
    const ScreenPoint b = ProjectToScreen(view, se.Lat, se.Lon);
    EXPECT_EQ(
        (std::array{ellipses[2].Args[0], ellipses[2].Args[1], ellipses[2].Args[2], ellipses[2].Args[3]}),
        (std::array{a.X, a.Y, b.X, b.Y}));
    EXPECT_EQ(ellipses[2].State.Fill, FillStyle::Transparent);
}

TEST_F(AirspaceLayer, BrokenElementsLoseOnlyThemselves) {
    AirspaceRecord s = Airspace(kClassB, "B", 47, -122);
    Point(s, 1, 47, -122);
    Point(s, 2, 0, 0, 40000);  // no 16-bit radius
    Point(s, 2, 0, 0, 5);
    s.PointCount = 12;  // more than the table holds
    AddAirspace(state, s);
    AirspaceRecord discOnly = Airspace(kClassB, "B", 47.5, -122);
    discOnly.PointCount = 3;  // no table at all
    AddAirspace(state, discOnly);
    state.Area.AreaAirspaceCount = 7;
    Pass pass;
    ASSERT_NO_THROW(pass = Draw());
    // Two discs and the one good circle.
    EXPECT_EQ(pass.OfKind(CallKind::Ellipse).size(), 3u);
}

TEST_F(AirspaceLayer, UnknownTypesKeepTheDiscStyle) {
    AirspaceRecord s = Square("Danger Area", "D", 47, -122);
    AddAirspace(state, s);
    const auto lines = Draw().OfKind(CallKind::LineTo);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].State.DrawColor, kAirspaceCyan);
    EXPECT_EQ(lines[0].State.LineWidth, 1);
    EXPECT_EQ(lines[0].State.Fill, FillStyle::Solid);
}

TEST_F(AirspaceLayer, RedrawDrawsAirspacesOnlyBetweenLevelsFiveAndThirtyFour) {
    AddAirspace(state, Square(kTracon, "", 47, -122));
    for (int level : {4, 5, 34, 35}) {
        view.ZoomLevel = static_cast<std::int16_t>(level);
        const bool drawn = testing::RecordRedraw(state, view).CountColor(kAirspaceCyan) > 0;
        EXPECT_EQ(drawn, level == 5 || level == 34) << level;
    }
}

}  // namespace
}  // namespace tarnwick
