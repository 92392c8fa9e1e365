#include <gtest/gtest.h>

#include "radar/airport_layers.h"
#include "radar/airspace_layer.h"
#include "scope_fixture.h"

namespace tarnwick {
namespace {

using testing::AddAirport;
using testing::AddAirspace;
using testing::Append;
using testing::Pass;

constexpr double kLat = 47.5;
constexpr double kLon = -122.3;

AirportRecord FullAirport() {
    AirportRecord a;
    a.Name = "Seattle Tacoma Intl";
    a.IcaoId = "KSEA";
    a.Lat = kLat;
    a.Lon = kLon;
    RunwayEntry runway;
    runway.PrimaryId = "16L";
    runway.SecondaryId = "34R";
    runway.CenterLat = kLat;
    runway.CenterLon = kLon;
    runway.End1Lat = kLat + 0.01;
    runway.End1Lon = kLon - 0.01;
    runway.End2Lat = kLat - 0.01;
    runway.End2Lon = kLon + 0.01;
    Append(a.Runways, a.RunwayCount, runway);
    Append(a.IlsList, a.IlsCount, IlsEntry{"ISEA", kLat - 0.01, kLon + 0.01, 340, "110.30"});
    Append(a.TaxiPoints, a.TaxiPointCount, TaxiPointEntry{0, kLat + 0.005, kLon - 0.005});
    Append(a.TaxiPoints, a.TaxiPointCount, TaxiPointEntry{0, kLat - 0.005, kLon - 0.005});
    Append(a.Parkings, a.ParkingCount, ParkingEntry{"GATE A 1", kLat, kLon - 0.008, 60});
    Append(a.TaxiSegments, a.TaxiSegmentCount, TaxiSegmentEntry{0, 0, 1, "A"});
    Append(a.TaxiSegments, a.TaxiSegmentCount, TaxiSegmentEntry{1, 0, 1, "B"});
    Append(a.TaxiSegments, a.TaxiSegmentCount, TaxiSegmentEntry{2, 1, 0, "C"});
    Append(a.TaxiSegments, a.TaxiSegmentCount, TaxiSegmentEntry{0, 1, 0, " "});
    return a;
}

AirspaceRecord ClassBAround(double lat, double lon) {
    AirspaceRecord s;
    s.ClassText = kClassB;
    s.CenterLat = lat;
    s.CenterLon = lon;
    Append(s.Points, s.PointCount, BoundaryPoint{1, lat, lon, 0});
    Append(s.Points, s.PointCount, BoundaryPoint{2, 0, 0, 5});
    return s;
}

class AirportLayers : public ::testing::Test {
   protected:
    AirportLayers() {
        testing::AllSwitchesOn(state);
        AddAirport(state, FullAirport());
        AddAirspace(state, ClassBAround(kLat, kLon));
    }
    Pass At(std::int16_t level) {
        view.ZoomLevel = level;
        return testing::RecordRedraw(state, view);
    }
    ProgramState state;
    RadarView view = testing::ViewAround(kLat, kLon, 0.05, 0.05, 9);
};

TEST_F(AirportLayers, EachZoomBandDrawsItsOwnLayers) {
    struct Band {
        std::int16_t level;
        bool dot, airspace, name, runway, ground;
    };
    const Band bands[] = {
        {1, true, false, false, false, false}, {4, true, false, false, false, false},
        {5, true, true, false, false, false},  {24, true, true, false, false, false},
        {25, false, true, true, false, false}, {29, false, true, true, false, false},
        {30, false, true, true, true, false},  {34, false, true, true, true, false},
        {35, false, false, true, true, true},  {55, false, false, true, true, true},
    };
    for (const Band& band : bands) {
        SCOPED_TRACE(band.level);
        const Pass pass = At(band.level);
        EXPECT_EQ(pass.CountColor(kAirportDotRed) > 0, band.dot);
        EXPECT_EQ(pass.CountColor(kAirspaceCyan) > 0, band.airspace);
        const auto texts = pass.OfKind(CallKind::TextOutA);
        EXPECT_EQ(std::any_of(texts.begin(), texts.end(),
                              [](const RecordedCall& c) { return c.Text == "Seattle Tacoma Intl"; }),
                  band.name);
        EXPECT_EQ(pass.CountColor(kRunwayGreen) > 0, band.runway);
        EXPECT_EQ(pass.CountColor(kIlsYellow) > 0, band.runway);
        EXPECT_EQ(pass.CountColor(kTaxiwayGrey) > 0, band.ground);
        EXPECT_EQ(pass.CountColor(kParkingBrown) > 0, band.ground);
    }
}

TEST_F(AirportLayers, LayersComeInOrderAndTheStateIsResetAfterwards) {
    const Pass pass = At(35);
    ASSERT_FALSE(pass.Calls.empty());
    // Parkings, then taxiways, then runways and ILS, then the name on top.
    EXPECT_EQ(pass.Calls.front().Kind, CallKind::Ellipse);
    EXPECT_EQ(pass.Calls.back().Text, "Seattle Tacoma Intl");
    std::vector<std::string> order;
    for (const RecordedCall& c : pass.Calls) {
        const std::string color = FormatColor(c.State.DrawColor);
        if (order.empty() || order.back() != color) order.push_back(color);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"#804040", "#c0c0c0", "#ffffff", "#c0c0c0", "#00c000",
                                               "#ffffff", "#ffff00", "#ffffff"}));
    EXPECT_EQ(pass.Canvas.State(), CanvasState{});
    EXPECT_EQ(pass.Lines.front(), "Ellipse 415 405 425 395 pen=#804040/1/solid fill=#804040/solid");
}

TEST_F(AirportLayers, OnlyNamedTaxiwaysOfTypeZeroShowTheirName) {
    const Pass pass = At(40);
    std::vector<std::string> taxiwayNames;
    for (const RecordedCall& c : pass.OfKind(CallKind::TextOutA)) {
        if (c.Text.size() == 1) taxiwayNames.push_back(c.Text);
    }
    EXPECT_EQ(taxiwayNames, std::vector<std::string>{"A"});
    state.Display.DisplayTaxiwayIds = false;
    EXPECT_EQ(At(40).OfKind(CallKind::TextOutA).size(), 3u);  // runway ends and name
}

TEST_F(AirportLayers, SwitchesRemoveTheirLayers) {
    state.Display = {};
    const Pass far = At(20);
    EXPECT_EQ(far.CountColor(kAirspaceCyan), 0u);
    EXPECT_EQ(far.CountColor(kAirportDotRed), 1u);  // dots have no switch
    const Pass close = At(40);
    EXPECT_GT(close.CountColor(kRunwayGreen), 0u);  // nor do runways
    EXPECT_EQ(close.CountColor(kIlsYellow), 0u);
    EXPECT_EQ(close.CountColor(kTaxiwayGrey), 0u);
    EXPECT_EQ(close.CountColor(kParkingBrown), 0u);
    EXPECT_EQ(close.OfKind(CallKind::TextOutA).size(), 2u);  // the runway designators only
}

TEST_F(AirportLayers, ViewTestsAreStrict) {
    // On the west edge: no dot, no name.
    view.ViewBounds.West = kLon;
    EXPECT_EQ(At(9).CountColor(kAirportDotRed), 0u);
    view.CullBounds = testing::ViewAround(kLat, kLon, 1, 1, 9).ViewBounds;
    EXPECT_EQ(At(25).OfKind(CallKind::TextOutA).size(), 0u);
    // Outside the cull rectangle the detailed layers skip the airport.
    view = testing::ViewAround(kLat, kLon, 0.05, 0.05, 9);
    view.CullBounds.North = kLat;
    EXPECT_EQ(At(40).CountColor(kRunwayGreen), 0u);
}

TEST_F(AirportLayers, ARunwayWithOnlyItsCentreInViewIsDrawn) {
    view = testing::ViewAround(kLat, kLon, 0.002, 0.002, 40);
    view.CullBounds = testing::ViewAround(kLat, kLon, 1, 1, 40).ViewBounds;
    const Pass pass = At(40);
    ASSERT_EQ(pass.OfKind(CallKind::LineTo).size() >= 1, true);
    const auto lines = pass.OfKind(CallKind::LineTo);
    const bool runway = std::any_of(lines.begin(), lines.end(), [](const RecordedCall& c) {
        return c.State.DrawColor == kRunwayGreen && c.State.LineWidth == 2;
    });
    EXPECT_TRUE(runway);
}

TEST_F(AirportLayers, EntriesOutsideTheirTablesAreSkipped) {
    AirportRecord& a = state.Area.AreaAirports[0];
    a.RunwayCount = 50;  // more than the table holds
    a.IlsCount = 7;
    a.ParkingCount = 9;
    a.TaxiSegmentCount = 99;
    a.TaxiSegments[0].ToPoint = 1000;   // no such taxi point
    a.TaxiSegments[1].FromPoint = -1;   // nor this
    a.TaxiSegments[2].ToPoint = 5;      // no such parking
    a.TaxiSegments[3].SegmentType = 3;  // no defined end point
    Pass pass;
    EXPECT_NO_THROW(pass = At(40));
    // Only the empty last slot, a segment from taxi point 0 to itself, is a
    // segment the tables can hold; the empty slots take part once a count reaches them.
    EXPECT_EQ(pass.CountColor(kTaxiwayGrey), 1u);
    EXPECT_GT(pass.CountColor(kRunwayGreen), 0u);
    EXPECT_EQ(pass.CountColor(kParkingBrown), 1u);  // the empty slot lies at (0, 0)
    state.Area.AreaAirportCount = 5;                // more airports than slots
    EXPECT_NO_THROW(At(40));
    EXPECT_NO_THROW(At(9));
}

TEST_F(AirportLayers, NothingIsDrawnWithoutAirportsOrBelowLevelOne) {
    EXPECT_TRUE(At(0).Calls.empty());
    state.Area.AreaAirportCount = 0;
    EXPECT_TRUE(At(20).Calls.empty());
}

TEST_F(AirportLayers, IlsFeatherOpensAwayFromTheCourse) {
    const Pass pass = At(40);
    std::vector<RecordedCall> feather;
    for (const RecordedCall& c : pass.OfKind(CallKind::LineTo)) {
        if (c.State.DrawColor == kIlsYellow) feather.push_back(c);
    }
    ASSERT_EQ(feather.size(), 3u);
    const ScreenPoint apex = ProjectToScreen(view, kLat - 0.01, kLon + 0.01);
    // Course 340 (no declination): the feather lies towards 160 degrees, south
    // and a little east of the apex, and is drawn with the runways' width.
    EXPECT_EQ(feather[2].Args[0], apex.X);
    EXPECT_EQ(feather[2].Args[1], apex.Y);
    EXPECT_GT(feather[0].Args[1], apex.Y);
    EXPECT_GT(feather[0].Args[0], apex.X);
    EXPECT_EQ(feather[0].State.LineWidth, 2);
}

}  // namespace
}  // namespace tarnwick
