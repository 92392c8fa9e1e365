// The conflict alert's list: when an alert starts and ends, what it says.
#include "traffic/conflict_watch.h"

#include <gtest/gtest.h>

#include "geo/local_offset.h"
#include "support/reported_flight.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

class ConflictWatchTest : public ::testing::Test {
   protected:
    ConflictWatchTest() {
        for (const char* name : {"A", "B", "C"}) EXPECT_TRUE(table.Append(name, ++id, kKindPlayer));
        Place(0, 0, 0, 3000);
        Place(1, 2.0, 0, 3450);
        Place(2, 0, 1.5, 2800);
    }
    // Entry i `east` and `north` nautical miles from 47 N 122 W.
    void Place(std::int16_t i, double east, double north, std::int32_t altitudeFt) {
        const geo::GeoPoint p = geo::MovedBy(47, -122, {east, north});
        table[i].Latitude = p.Lat;
        table[i].Longitude = p.Lon;
        table[i].Altitude = altitudeFt;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const ConflictAlert& alert : watch.Alerts())
            names.push_back(alert.First.Name + alert.Second.Name);
        return names;
    }

    TrafficTable table;
    std::int32_t id = 1;
    ConflictWatch watch;
    const std::vector<ConflictPair> ab{{0, 1}};
};

TEST_F(ConflictWatchTest, AnAlertSaysThePairHowFarApartItIsNowAndSinceWhen) {
    EXPECT_EQ(watch.Update(table, ab, milliseconds(5000)), 1u);
    ASSERT_EQ(watch.Alerts().size(), 1u);
    ConflictAlert alert = watch.Alerts()[0];
    EXPECT_EQ(alert.First, (PlayerKey{2, "A"}));
    EXPECT_EQ(alert.Second, (PlayerKey{3, "B"}));
    EXPECT_NEAR(alert.DistanceNm, 2.0, 1e-6);
    EXPECT_EQ(alert.HeightApartFt, 450);
    EXPECT_EQ(alert.Since, milliseconds(5000));
    EXPECT_FALSE(alert.Clear);
    EXPECT_EQ(AlertLine(alert, milliseconds(70000)), "A B  2.0 nm  450 ft  for 1:05");

    // They move: the same alert, now nearer.
    Place(1, 1.3, 0, 2500);
    EXPECT_EQ(watch.Update(table, ab, milliseconds(6000)), 0u);
    alert = watch.Alerts()[0];
    EXPECT_NEAR(alert.DistanceNm, 1.3, 1e-6);
    EXPECT_EQ(alert.HeightApartFt, 500);
    EXPECT_EQ(alert.Since, milliseconds(5000));
    EXPECT_EQ(AlertLine(alert, milliseconds(5000 + 3723000)), "A B  1.3 nm  500 ft  for 1:02:03");
}

TEST_F(ConflictWatchTest, APairClearForTenSecondsEndsAndIsNewWhenItReturns) {
    EXPECT_EQ(watch.Update(table, ab, milliseconds(0)), 1u);
    EXPECT_EQ(watch.Update(table, ab, milliseconds(100)), 0u);
    EXPECT_EQ(watch.Update(table, {}, milliseconds(5000)), 0u);
    ASSERT_EQ(watch.Alerts().size(), 1u) << "listed while it may come back";
    EXPECT_TRUE(watch.Alerts()[0].Clear);
    EXPECT_EQ(AlertLine(watch.Alerts()[0], milliseconds(5000)), "A B  2.0 nm  450 ft  for 0:05  clear");
    EXPECT_EQ(watch.Update(table, ab, milliseconds(9000)), 0u) << "back within 10 s: the same alert";
    EXPECT_FALSE(watch.Alerts()[0].Clear);
    EXPECT_EQ(watch.Alerts()[0].Since, milliseconds(0));
    EXPECT_EQ(watch.Update(table, {}, milliseconds(19000)), 0u);
    EXPECT_TRUE(watch.Alerts().empty()) << "clear for 10 s";
    EXPECT_EQ(watch.Update(table, ab, milliseconds(19100)), 1u);
    EXPECT_EQ(watch.Alerts()[0].Since, milliseconds(19100));
}

TEST_F(ConflictWatchTest, AReplaySentBackStartsTheListAfresh) {
    EXPECT_EQ(watch.Update(table, ab, milliseconds(60000)), 1u);
    EXPECT_EQ(watch.Update(table, {}, milliseconds(61000)), 0u);
    // Back to a moment before the alert began: it has not happened yet there.
    EXPECT_EQ(watch.Update(table, {}, milliseconds(20000)), 0u);
    EXPECT_TRUE(watch.Alerts().empty());
    EXPECT_EQ(watch.Update(table, ab, milliseconds(21000)), 1u) << "a new alert from the earlier moment";
    EXPECT_EQ(watch.Alerts()[0].Since, milliseconds(21000));
}

TEST_F(ConflictWatchTest, TheNewestIsFirstAndAnAircraftThatLeavesEndsItsAlerts) {
    EXPECT_EQ(watch.Update(table, ab, milliseconds(0)), 1u);
    const std::vector<ConflictPair> three{{0, 1}, {0, 2}, {1, 2}};
    EXPECT_EQ(watch.Update(table, three, milliseconds(1000)), 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"AC", "BC", "AB"}));
    EXPECT_EQ(watch.Update(table, three, milliseconds(2000)), 0u) << "each pair once";

    table.RemoveAt(1);
    // The table's indexes moved: C is now entry 1.
    EXPECT_EQ(watch.Update(table, std::vector<ConflictPair>{{0, 1}}, milliseconds(3000)), 0u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"AC"}));
    // Out-of-range pairs from a stale pass are passed over.
    EXPECT_EQ(watch.Update(table, std::vector<ConflictPair>{{0, 7}}, milliseconds(3100)), 0u);

    watch.Clear();
    EXPECT_TRUE(watch.Alerts().empty());
}

TEST(WatchConflicts, TheAidOffEmptiesTheListAndTheInhibitionsApply) {
    // Two arrivals 2.5 nm apart in trail on the final of a runway landing north.
    testing::ReportedTraffic traffic;
    const auto onFinal = [](double south) {
        const geo::GeoPoint p = geo::MovedBy(47, -122, {0, -south});
        return testing::FlightPath{.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = 2000, .SpeedKt = 140};
    };
    traffic.Add("LEAD", 2, onFinal(5));
    traffic.Add("TRAIL", 3, onFinal(7.5));
    traffic.RunUntil(8);
    ChosenArea area;
    AirportRecord airport;
    airport.Lat = 47.01;
    airport.Lon = -122;
    RunwayEntry& runway = airport.Runways.Grow(0);
    runway.End1Lat = 47;
    runway.End1Lon = -122;
    runway.End2Lat = 47.02;
    runway.End2Lon = -122;
    airport.RunwayCount = 1;
    area.AreaAirports = {airport, {}};
    area.AreaAirportCount = 1;

    const ScopeTraffic scope{traffic.Table, 1, "ATC"};
    ConflictWatch watch;
    RadarAids aids;
    aids.Conflicts = true;
    EXPECT_EQ(WatchConflicts(watch, scope, traffic.History, area, aids, traffic.Now()), 0u);
    aids.InhibitFinal = false;
    EXPECT_EQ(WatchConflicts(watch, scope, traffic.History, area, aids, traffic.Now()), 1u);
    aids.Conflicts = false;
    EXPECT_EQ(WatchConflicts(watch, scope, traffic.History, area, aids, traffic.Now()), 0u);
    EXPECT_TRUE(watch.Alerts().empty());
}

}  // namespace
}  // namespace tarnwick
