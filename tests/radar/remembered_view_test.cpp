// Getting to the view the controller wants: five levels at a time, the view
// remembered per area, and the view that shows all traffic.
#include "radar/remembered_view.h"

#include <gtest/gtest.h>

#include <random>

#include "radar/traffic_fit.h"
#include "state/chosen_area.h"

namespace tarnwick {
namespace {

void ExpectBoundsNear(const GeoBounds& actual, const GeoBounds& expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.West, expected.West, tolerance);
    EXPECT_NEAR(actual.North, expected.North, tolerance);
    EXPECT_NEAR(actual.East, expected.East, tolerance);
    EXPECT_NEAR(actual.South, expected.South, tolerance);
}

double Uniform(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

RadarView Seattle() {
    RadarView view;
    InitializeView(view, 800, 600, 47.449, -122.309);
    return view;
}

TEST(FastZoom, FiveLevelsInThenFiveOutRestoresTheViewAndStopsAtTheLimits) {
    RadarView view = Seattle();
    const RadarView before = view;
    EXPECT_EQ(ZoomBy(view, kFastZoomLevels), 5);
    EXPECT_EQ(view.ZoomLevel, 14);
    RadarView stepped = before;
    for (int i = 0; i < 5; ++i) ZoomInStep(stepped);
    EXPECT_EQ(view.ViewBounds, stepped.ViewBounds) << "the same as five presses of +";
    EXPECT_EQ(ZoomBy(view, -kFastZoomLevels), -5);
    EXPECT_EQ(view.ZoomLevel, 9);
    ExpectBoundsNear(view.ViewBounds, before.ViewBounds);
    ExpectBoundsNear(view.CullBounds, before.CullBounds);

    // Through the level-35 freeze and back: the cull rectangle comes back too.
    ZoomBy(view, 30);
    EXPECT_EQ(view.ZoomLevel, 39);
    ZoomBy(view, -30);
    ExpectBoundsNear(view.CullBounds, before.CullBounds);

    view.ZoomLevel = 53;
    EXPECT_EQ(ZoomBy(view, kFastZoomLevels), 2) << "up to the closest level";
    EXPECT_EQ(view.ZoomLevel, kMaxZoomLevel);
    view = before;
    ZoomBy(view, -7);
    EXPECT_EQ(view.ZoomLevel, 2);
    EXPECT_EQ(ZoomBy(view, -kFastZoomLevels), -1);
    EXPECT_EQ(view.ZoomLevel, kMinZoomLevel);
    EXPECT_EQ(ZoomBy(view, 0), 0);
}

TEST(RememberedView, TheViewLeftComesBackExactlyWhateverTheWayItWasReached) {
    // Zooms and centrings in any order: the level and centre alone give the
    // view and the cull rectangle back.
    std::mt19937 random(24);
    for (int trial = 0; trial < 200; ++trial) {
        RadarView view = Seattle();
        for (int move = 0; move < 12; ++move) {
            switch (random() % 3) {
                case 0:
                    ZoomBy(view, static_cast<int>(random() % 11) - 5);
                    break;
                case 1:
                    ZoomBy(view, static_cast<int>(random() % 31));
                    break;
                default:
                    Center_Airport(view, Uniform(random, -123.3, -121.3), Uniform(random, 46.4, 48.4));
            }
        }
        const std::optional<RememberedView> read =
            ParseRememberedView(FormatRememberedView(RememberedViewOf(view)));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, RememberedViewOf(view)) << "written in full";
        RadarView back = Seattle();
        back.PictureWidthPx = 1024;
        ShowRememberedView(back, *read);
        EXPECT_EQ(back.ZoomLevel, view.ZoomLevel);
        EXPECT_EQ(back.PictureWidthPx, 1024) << "the picture's size is the window's";
        ExpectBoundsNear(back.ViewBounds, view.ViewBounds);
        ExpectBoundsNear(back.CullBounds, view.CullBounds);
    }
}

TEST(RememberedView, HandEditedValuesAreBroughtIntoRangeOrLeftAlone) {
    EXPECT_EQ(ParseRememberedView("23 47.449 -122.309"), (RememberedView{23, 47.449, -122.309}));
    EXPECT_EQ(ParseRememberedView("  30\t-33.9 151.17 "), (RememberedView{30, -33.9, 151.17}));
    EXPECT_EQ(ParseRememberedView("70 95 -200"), (RememberedView{55, 90, -180}));
    EXPECT_EQ(ParseRememberedView("0 -91 181"), (RememberedView{1, -90, 180}));
    EXPECT_EQ(ParseRememberedView("-99999999999 0 0"), (RememberedView{1, 0, 0}));
    for (const char* bad : {"", "23", "23 47.4", "23.5 47 -122", "23 47 -122 9", "x 47 -122", "23 47,4 -122",
                            "23 nan -122", "23 47 inf", "2347.449 -122"})
        EXPECT_EQ(ParseRememberedView(bad), std::nullopt) << '"' << bad << '"';
}

TEST(RememberedView, EachAreaHasAKeyOfItsOwn) {
    EXPECT_EQ(RememberedViewKey(kAreaKindAirport, "Seattle Tacoma Intl  (KSEA)"), "Airport-KSEA");
    EXPECT_EQ(RememberedViewKey(kAreaKindSector, "Seattle Center"), "Sector-Seattle-Center");
    EXPECT_NE(RememberedViewKey(kAreaKindAirport, "A  (KSEA)"), RememberedViewKey(kAreaKindSector, "KSEA"));
    EXPECT_EQ(RememberedViewKey(kAreaKindSector, "//"), "Sector");
}

class ShowAllTraffic : public testing::Test {
   protected:
    void Add(const char* name, double lat, double lon, std::int32_t altitude = 3000) {
        ASSERT_TRUE(table.Append(name, ++lastId, kKindPlayer));
        PlayerRecord& entry = table[static_cast<std::int16_t>(table.PlayerCount() - 1)];
        entry.Latitude = lat;
        entry.Longitude = lon;
        entry.Altitude = altitude;
    }
    RadarView Shown(const RememberedView& fit) {
        RadarView view = Seattle();
        ShowRememberedView(view, fit);
        return view;
    }
    // Inside the picture, clear of its edges by a tenth of it (before the
    // pixels are rounded).
    static bool Inside(const RadarView& view, const PlayerRecord& entry) {
        const GeoPosition topLeft = PictureToGeo(view, 80, 60);
        const GeoPosition bottomRight = PictureToGeo(view, 720, 540);
        return entry.Longitude >= topLeft.Lon - 1e-9 && entry.Longitude <= bottomRight.Lon + 1e-9 &&
               entry.Latitude <= topLeft.Lat + 1e-9 && entry.Latitude >= bottomRight.Lat - 1e-9;
    }

    TrafficTable table;
    std::int32_t lastId = 100;
};

TEST_F(ShowAllTraffic, EveryShownAircraftIsInViewAtTheClosestLevelThatHoldsThemAll) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 100; ++trial) {
        table = {};
        Add("Tower", 0, 0);  // the program's own player, never placed
        const double spreadDeg = Uniform(random, 0.02, 10);
        const int count = 1 + static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i)
            Add("N", 47.4 + Uniform(random, -0.5, 0.5) * spreadDeg,
                -122.3 + Uniform(random, -1, 1) * spreadDeg);
        const ScopeTraffic traffic{table, 101, "Tower"};
        const std::optional<RememberedView> fit = ViewShowingAll(traffic);
        ASSERT_TRUE(fit.has_value());
        RadarView view = Shown(*fit);
        for (const PlayerRecord& entry : table.Entries()) {
            if (ShowsOnScope(traffic, entry)) {
                EXPECT_TRUE(Inside(view, entry)) << trial << " " << entry.PlayerId;
            }
        }
        if (view.ZoomLevel == kFitClosestLevel) continue;
        ZoomInStep(view);
        bool allInside = true;
        for (const PlayerRecord& entry : table.Entries())
            if (ShowsOnScope(traffic, entry)) allInside = allInside && Inside(view, entry);
        EXPECT_FALSE(allInside) << "one level closer would leave one out (trial " << trial << ")";
    }
}

TEST_F(ShowAllTraffic, HiddenAndUnplacedTrafficDoesNotWidenTheViewAndALoneAircraftIsNotZoomedOnForever) {
    const ScopeTraffic none{table, 0, ""};
    EXPECT_EQ(ViewShowingAll(none), std::nullopt) << "no traffic: nothing to show";
    Add("NEW", 0, 0);  // identified, no report yet
    EXPECT_EQ(ViewShowingAll(none), std::nullopt);

    Add("LONE", 47.45, -122.31);
    const std::optional<RememberedView> lone = ViewShowingAll(none);
    ASSERT_TRUE(lone.has_value());
    EXPECT_EQ(lone->ZoomLevel, kFitClosestLevel);
    EXPECT_NEAR(lone->CenterLat, 47.45, 1e-9);
    EXPECT_NEAR(lone->CenterLon, -122.31, 1e-9);

    Add("HIGH", 52.0, -110.0, 35000);  // far off, above the filter
    const ScopeTraffic filtered{table, 0, "", AltitudeBand{0, 18000}};
    EXPECT_EQ(ViewShowingAll(filtered), lone) << "the altitude filter hides it from the fit too";
    EXPECT_LT(ViewShowingAll(none)->ZoomLevel, 20) << "without the filter it is shown, and held";

    // Traffic all over the world: the widest level, whatever it holds.
    Add("SOUTH", -89.0, 179.0);
    Add("NORTH", 89.0, -179.0);
    EXPECT_EQ(ViewShowingAll(none)->ZoomLevel, kMinZoomLevel);
}

}  // namespace
}  // namespace tarnwick
