#include "radar/aids/aided_traffic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "geo/local_offset.h"
#include "radar/aids/range_rings.h"
#include "radar/airport_layers.h"
#include "radar/hover_info.h"
#include "scope_fixture.h"
#include "support/reported_flight.h"

namespace tarnwick {
namespace {

using testing::FlightPath;
using testing::Pass;

class AidedTraffic : public ::testing::Test {
   protected:
    AidedTraffic() {
        AirportRecord airport;
        airport.Name = "Centre Field";
        airport.Lat = 47;
        airport.Lon = -122;
        testing::AddAirport(state, airport);
        state.Area.AreaCenterLat = 47;
        state.Area.AreaCenterLon = -122;
        testing::AllSwitchesOn(state);
    }
    // `east` and `north` nautical miles from the centre.
    static FlightPath From(double east, double north, double altitudeFt) {
        const geo::GeoPoint p = geo::MovedBy(47, -122, {east, north});
        return {.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = altitudeFt};
    }
    ScopeTraffic Traffic() const { return {traffic.Table, 1, "ATC", ShownBand(aids)}; }
    // One redraw pass; without `withAids` the way the scope always drew.
    Pass Draw(bool withAids = true, std::optional<ScreenPoint> pointer = std::nullopt) {
        const ScopeAids scopeAids{aids, traffic.History, kept, pointer};
        return testing::Record(state, view, hover, [&](const ScopeContext& s) {
            const ScopeContext scope{s.Picture,     s.View,  s.Area,    s.Display,
                                     s.Declination, s.Hover, Traffic(), withAids ? &scopeAids : nullptr};
            RedrawScopeAndTraffic(scope);
        });
    }
    std::vector<std::string> Texts(const Pass& pass) const {
        std::vector<std::string> texts;
        for (const RecordedCall& call : pass.OfKind(CallKind::TextOutA)) texts.push_back(call.Text);
        return texts;
    }

    ProgramState state;
    HoverTarget hover;
    // Where the labels went, kept from pass to pass as the window keeps it;
    // none places them afresh.
    LabelPlaces* kept = nullptr;
    testing::ReportedTraffic traffic;
    RadarAids aids;
    // Level 20 around the centre: about 26 px per nautical mile across.
    RadarView view = testing::ViewAround(47, -122, 0.3, 0.2, 20);
};

TEST_F(AidedTraffic, WithEveryAidOffEveryCallIsWhatTheScopeAlwaysDrew) {
    traffic.Add("EAST", 2, [] {
        FlightPath p = From(-3, 1, 4000);
        p.TrackDeg = 90;
        p.SpeedKt = 240;
        return p;
    }());
    traffic.Add("WEST", 3, [] {
        FlightPath p = From(3, 1, 4000);
        p.TrackDeg = 270;
        p.SpeedKt = 240;
        return p;
    }());
    traffic.Add("PARKED", 4, From(0, 0, 433));
    traffic.RunUntil(20);
    const Pass before = Draw(false);
    ASSERT_EQ(Texts(before).size(), 3u);
    ASSERT_TRUE(before.Any(CallKind::SetPixelV)) << "the airport's dot under them";
    EXPECT_EQ(Draw().Lines, before.Lines);
    // Values changed, switches off: still the same.
    aids.HistoryDots = 9;
    aids.VectorMinutes = 3;
    aids.RingSpacingNm = 1;
    aids.ConflictDistanceNm = 20;
    aids.LowestAltitudeFt = 5000;
    EXPECT_EQ(Draw().Lines, before.Lines);
    // A filter that holds everyone changes nothing either.
    aids = RadarAids{};
    aids.AltitudeFilter = true;
    aids.LowestAltitudeFt = 0;
    aids.HighestAltitudeFt = 5000;
    EXPECT_EQ(Draw().Lines, before.Lines);
}

TEST_F(AidedTraffic, HistoryDotsFadeBehindAndTheVectorReachesTheMinutesAhead) {
    FlightPath east = From(-4, 0, 5000);
    east.TrackDeg = 90;
    east.SpeedKt = 240;
    traffic.Add("EAST", 2, east);
    traffic.RunUntil(30);
    aids.History = true;
    aids.Vectors = true;
    const Pass pass = Draw();
    std::vector<RecordedCall> dots;
    for (const RecordedCall& call : pass.OfKind(CallKind::Ellipse)) {
        if (call.Args[2] - call.Args[0] == 2 * kHistoryDotRadiusPx) dots.push_back(call);
    }
    ASSERT_EQ(dots.size(), 5u);
    for (std::size_t k = 1; k < dots.size(); ++k) {
        EXPECT_GT(dots[k].Args[0], dots[k - 1].Args[0]) << "oldest first, each further east";
        EXPECT_GT(dots[k].State.DrawColor.G, dots[k - 1].State.DrawColor.G) << "the oldest faintest";
    }
    EXPECT_EQ(dots.front().State.DrawColor.G, kOldestDotGreen);

    // After the heading line, the vector: 240 kt for one minute is 4 nm east.
    const std::vector<RecordedCall> lines = pass.OfKind(CallKind::LineTo);
    ASSERT_GE(lines.size(), 2u);
    const FlightPath now = traffic.TrueAt("EAST", 30);
    const geo::GeoPoint ahead = geo::MovedBy(now.Lat, now.Lon, {4, 0});
    const ScreenPoint expected = ProjectToScreen(view, ahead.Lat, ahead.Lon);
    EXPECT_NEAR(lines.back().Args[0], expected.X, 3);
    EXPECT_NEAR(lines.back().Args[1], expected.Y, 1);
    aids.VectorMinutes = 3;
    EXPECT_NEAR(Draw().OfKind(CallKind::LineTo).back().Args[0] - ProjectToScreen(view, now.Lat, now.Lon).X,
                3 * (expected.X - ProjectToScreen(view, now.Lat, now.Lon).X), 6);
}

TEST_F(AidedTraffic, DataBlocksHaveTwoLinesWithAltitudeClimbMarkAndSpeed) {
    FlightPath climbing = From(0, 2, 4960);
    climbing.SpeedKt = 180;
    climbing.ClimbFpm = 1500;
    traffic.Add("N123", 2, climbing);
    FlightPath descending = From(3, -2, 12040);
    descending.SpeedKt = 250;
    descending.ClimbFpm = -2000;
    traffic.Add("DAL9", 3, descending);
    traffic.Add("GROUND", 4, From(-3, 0, 433));
    traffic.RunUntil(2);
    aids.DataBlock = true;
    EXPECT_EQ(Texts(Draw()),
              (std::vector<std::string>{"N123", "050  --", "DAL9", "120  --", "GROUND", "004  --"}))
        << "speeds unknown for the first seconds";
    traffic.RunUntil(8);
    const std::vector<std::string> texts = Texts(Draw());
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[1], "052+ 180");
    EXPECT_EQ(texts[3], "118- 250");
    EXPECT_EQ(texts[5], "004  0");
}

TEST_F(AidedTraffic, ConflictsAreRedWithALineBetweenAndFilteredTrafficIsNeitherDrawnNorHovered) {
    FlightPath north = From(0, -4, 6000);
    north.SpeedKt = 200;
    FlightPath south = From(0, 4, 6000);
    south.TrackDeg = 180;
    south.SpeedKt = 200;
    traffic.Add("NORTH", 2, north);
    traffic.Add("SOUTH", 3, south);
    traffic.Add("LOW", 4, From(5, 0, 1500));
    traffic.RunUntil(7);
    aids.Conflicts = true;
    const Pass pass = Draw();
    const std::vector<RecordedCall> ellipses = pass.OfKind(CallKind::Ellipse);
    ASSERT_EQ(ellipses.size(), 3u);
    EXPECT_EQ(ellipses[0].State.FillColor, kConflictRed);
    EXPECT_EQ(ellipses[1].State.FillColor, kConflictRed);
    EXPECT_EQ(ellipses[2].State.FillColor, kScopeGreen);
    const RecordedCall between = pass.OfKind(CallKind::LineTo).front();
    EXPECT_EQ(between.State.DrawColor, kConflictRed);
    EXPECT_EQ(between.Args[0],
              ProjectToScreen(view, traffic.Table[1].Latitude, traffic.Table[1].Longitude).X);
    const std::vector<RecordedCall> texts = pass.OfKind(CallKind::TextOutA);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].State.DrawColor, kConflictRed);
    EXPECT_EQ(texts[1].State.DrawColor, kConflictRed);
    EXPECT_EQ(texts[2].State.DrawColor, kScopeGreen);

    aids.AltitudeFilter = true;
    aids.LowestAltitudeFt = 3000;
    EXPECT_EQ(Texts(Draw()).size(), 2u) << "LOW is below the band";
    const ScreenPoint low = ProjectToScreen(view, traffic.Table[2].Latitude, traffic.Table[2].Longitude);
    const HoverInfo hovered =
        FindHoverInfo({view, state.Area, state.Display, Traffic()}, PictureToGeo(view, low.X, low.Y));
    EXPECT_EQ(hovered.Text, "");
}

TEST_F(AidedTraffic, PlacedLabelsStayClearAndThePointersAircraftIsWrittenLast) {
    for (int i = 0; i < 6; ++i) traffic.Add("N" + std::to_string(i), 2 + i, From(0.5 * i, 0.1 * i, 3000));
    traffic.RunUntil(1);
    aids.Labels = true;
    const ScreenPoint third = ProjectToScreen(view, traffic.Table[3].Latitude, traffic.Table[3].Longitude);
    const std::vector<RecordedCall> texts = Draw(true, third).OfKind(CallKind::TextOutA);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts.back().Text, "N3 Hdg: 0 Alt: 2999");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const bool apart =
                std::abs(texts[i].Args[1] - texts[j].Args[1]) >= DefaultTextMetrics().LineHeight ||
                std::abs(texts[i].Args[0] - texts[j].Args[0]) >= 7 * 18;
            EXPECT_TRUE(apart) << texts[i].Text << " and " << texts[j].Text;
        }
    }
}

// A written text's box, measured as the pass measured it.
PixelBox BoxOf(const RecordedCall& text) {
    return TextBoxAt(DefaultTextMetrics(), text.Args[0], text.Args[1], text.Text);
}

bool Overlap(const PixelBox& a, const PixelBox& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TEST_F(AidedTraffic, PlacedLabelsClearTheAirportsNameAndRunwayNumbersAndTheMapIsDrawnAsBefore) {
    // At level 30 the airport writes its name at its point and its runway's
    // numbers at the runway's ends: one aircraft holds short of each end, one
    // sits on the airport's point.
    AirportRecord& airport = state.Area.AreaAirports[0];
    RunwayEntry runway;
    runway.PrimaryId = "16L";
    runway.SecondaryId = "34R";
    runway.CenterLat = 47;
    runway.CenterLon = -122;
    runway.End1Lat = 47.02;
    runway.End1Lon = -122.001;
    runway.End2Lat = 46.98;
    runway.End2Lon = -121.999;
    testing::Append(airport.Runways, airport.RunwayCount, runway);
    view.ZoomLevel = 30;
    traffic.Add("ON", 2, {.Lat = 47, .Lon = -122, .AltitudeFt = 433});
    traffic.Add("NORTH", 3, {.Lat = 47.02, .Lon = -122.001, .AltitudeFt = 433});
    traffic.Add("SOUTH", 4, {.Lat = 46.98, .Lon = -121.999, .AltitudeFt = 433});
    traffic.RunUntil(1);
    aids.DataBlock = true;

    const auto onMapTexts = [](const Pass& pass) {
        std::vector<std::string> found;
        for (const RecordedCall& map : pass.OfKind(CallKind::TextOutA)) {
            if (map.State.DrawColor != kLabelWhite) continue;
            for (const RecordedCall& label : pass.OfKind(CallKind::TextOutA)) {
                if (label.State.DrawColor != kLabelWhite && Overlap(BoxOf(map), BoxOf(label)))
                    found.push_back(label.Text + " on " + map.Text);
            }
        }
        return found;
    };
    const Pass unplaced = Draw();
    EXPECT_GE(onMapTexts(unplaced).size(), 3u) << "each label hangs from its aircraft, on the texts";
    aids.Labels = true;
    const Pass placed = Draw();
    EXPECT_EQ(onMapTexts(placed), std::vector<std::string>{});
    EXPECT_EQ(Texts(placed).size(), 9u);

    // Noting the map's texts changes nothing the map draws.
    const std::vector<std::string> map = testing::RecordRedraw(state, view).Lines;
    ASSERT_GE(placed.Lines.size(), map.size());
    EXPECT_EQ(std::vector<std::string>(placed.Lines.begin(),
                                       placed.Lines.begin() + static_cast<std::ptrdiff_t>(map.size())),
              map);
}

TEST_F(AidedTraffic, LeadersAreShortAndInTheirLabelsColourRedOnlyInConflict) {
    // Two aircraft head on, in conflict, meeting under a crowd of helicopters
    // holding 3,000 ft above (standing still, never alerted): labels move off
    // on leaders, the pair's too.
    for (int i = 0; i < 8; ++i)
        traffic.Add("HIGH" + std::to_string(i), 4 + i, From(-0.6 + 0.05 * i, 0.05 * (i % 3), 9000));
    FlightPath east = From(-0.5, 0, 6000);
    east.TrackDeg = 90;
    east.SpeedKt = 200;
    FlightPath west = From(0.5, 0, 6000);
    west.TrackDeg = 270;
    west.SpeedKt = 200;
    traffic.Add("EAST", 2, east);
    traffic.Add("WEST", 3, west);
    traffic.RunUntil(8);
    aids.Labels = true;
    aids.Conflicts = true;
    aids.DataBlock = true;
    const Pass pass = Draw();

    // The leaders come after the symbols (the last disc and its heading line)
    // and before the labels' texts.
    std::size_t lastDisc = 0;
    std::size_t firstText = pass.Calls.size();
    for (std::size_t k = 0; k < pass.Calls.size(); ++k) {
        const RecordedCall& call = pass.Calls[k];
        if (call.Kind == CallKind::Ellipse) lastDisc = k;
        if (call.Kind == CallKind::TextOutA && call.State.DrawColor != kLabelWhite &&
            firstText == pass.Calls.size())
            firstText = k;
    }
    std::map<std::string, Rgb> labelColor;
    for (const RecordedCall& text : pass.OfKind(CallKind::TextOutA))
        labelColor.emplace(text.Text, text.State.DrawColor);
    int leaders = 0;
    int redLeaders = 0;
    for (std::size_t k = lastDisc + 3; k + 1 < firstText; k += 2) {
        const RecordedCall& from = pass.Calls[k];
        const RecordedCall& to = pass.Calls[k + 1];
        ASSERT_EQ(from.Kind, CallKind::MoveToEx);
        ASSERT_EQ(to.Kind, CallKind::LineTo);
        ++leaders;
        EXPECT_LE(std::hypot(to.Args[0] - from.Args[0], to.Args[1] - from.Args[1]),
                  LabelPlaces::kMaxLeaderPx);
        // Whose leader: the aircraft at its start.
        std::string name;
        for (const PlayerRecord& record : traffic.Table.Entries()) {
            const ScreenPoint p = ProjectToScreen(view, record.Latitude, record.Longitude);
            if (p.X == from.Args[0] && p.Y == from.Args[1]) name = record.Name;
        }
        ASSERT_TRUE(labelColor.contains(name)) << from.Args[0] << "," << from.Args[1];
        EXPECT_EQ(to.State.DrawColor, labelColor[name]) << name;
        const bool inConflict = name == "EAST" || name == "WEST";
        EXPECT_EQ(to.State.DrawColor, inConflict ? kConflictRed : kScopeGreen) << name;
        redLeaders += inConflict ? 1 : 0;
    }
    EXPECT_GE(leaders, 4);
    EXPECT_GE(redLeaders, 1);
    EXPECT_EQ(labelColor["EAST"], kConflictRed);
    EXPECT_EQ(labelColor["HIGH0"], kScopeGreen);
}

TEST_F(AidedTraffic, PlacedLabelsHoldStillFromOneRedrawToTheNext) {
    for (int i = 0; i < 12; ++i)
        traffic.Add("N" + std::to_string(i), 2 + i, From(0.2 * (i % 4), 0.15 * (i / 4), 3000));
    traffic.RunUntil(1);
    aids.Labels = true;
    aids.DataBlock = true;
    LabelPlaces places;
    kept = &places;
    const Pass first = Draw();
    EXPECT_EQ(Draw().Lines, first.Lines);
    EXPECT_EQ(Draw().Lines, first.Lines);
}

TEST_F(AidedTraffic, RangeRingsAreConcentricEvenlySpacedAndReachTheFarthestCorner) {
    aids.Rings = true;
    for (const int level : {9, 20, 40}) {
        RadarView ringsView;
        InitializeView(ringsView, 1200, 900, 47, -122.1);
        while (ringsView.ZoomLevel < level) ZoomInStep(ringsView);
        view = ringsView;
        const Pass pass = Draw();
        const ScreenPoint c = ProjectToScreen(view, 47, -122);
        std::vector<std::int32_t> radii;
        double widest = 0;
        for (const RecordedCall& call : pass.Calls) {
            if (call.Kind != CallKind::Ellipse || call.State.DrawColor != kRangeRingGrey) continue;
            EXPECT_EQ(call.Args[0] + call.Args[2], 2 * c.X) << level;
            EXPECT_EQ(call.Args[1] + call.Args[3], 2 * c.Y) << level;
            radii.push_back((call.Args[3] - call.Args[1]) / 2);
            widest = (call.Args[2] - call.Args[0]) / 2.0;
        }
        ASSERT_GE(radii.size(), 2u) << level;
        for (std::size_t k = 1; k < radii.size(); ++k) {
            EXPECT_NEAR(radii[k] - radii[k - 1], radii[1] - radii[0], 1) << level;
            EXPECT_GE(radii[k] - radii[k - 1], kFewestPixelsBetweenRings - 1) << level;
        }
        // The farthest corner lies inside the last ring.
        const double x = std::max(c.X, 1200 - c.X) / widest;
        const double y = std::max(c.Y, 900 - c.Y) / static_cast<double>(radii.back());
        EXPECT_LE(x * x + y * y, 1.0) << level;
        // Under everything: the rings come before the airport's layers.
        EXPECT_EQ(pass.Calls.front().State.DrawColor, kRangeRingGrey);
    }
}

}  // namespace
}  // namespace tarnwick
