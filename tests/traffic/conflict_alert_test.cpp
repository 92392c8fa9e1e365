#include "traffic/conflict_alert.h"

#include <gtest/gtest.h>

#include "geo/local_offset.h"
#include "support/reported_flight.h"

namespace tarnwick {
namespace {

constexpr ConflictLimits kLimits{3.0, 1000.0, 60.0};

// An aircraft `east` and `north` nautical miles from 47 N 122 W.
Mover At(double east, double north, double altitudeFt, double track, double speedKt, double climbFpm = 0) {
    const geo::GeoPoint p = geo::MovedBy(47, -122, {east, north});
    return {p.Lat, p.Lon, altitudeFt, speedKt, track, climbFpm};
}

TEST(ConflictAlert, HeadOnPairsConflictOnlyWithinTheLookAheadAndTheHeight) {
    // 10 nm apart closing at 500 kt: within 3 nm after 50 s.
    const Mover west = At(0, 0, 5000, 90, 250);
    const Mover east = At(10, 0, 5000, 270, 250);
    EXPECT_TRUE(InConflict(west, east, kLimits));
    EXPECT_TRUE(InConflict(east, west, kLimits));
    EXPECT_FALSE(InConflict(west, east, {3.0, 1000.0, 45.0}));
    EXPECT_FALSE(InConflict(west, At(10, 0, 6000, 270, 250), kLimits)) << "1000 ft apart is not closer than";
    // Descending through the other's level while they meet.
    EXPECT_TRUE(InConflict(west, At(10, 0, 7000, 270, 250, -3000), kLimits));
    // Descending too late: level with the other only after they have passed.
    EXPECT_FALSE(InConflict(west, At(10, 0, 9000, 270, 250, -1000), kLimits));
}

TEST(ConflictAlert, ClosenessNowCountsAndPassingWideDoesNot) {
    EXPECT_TRUE(InConflict(At(0, 0, 3000, 0, 200), At(2.5, 0, 3300, 90, 200), kLimits))
        << "already too close";
    // Crossing at right angles, the second passing 5 nm behind the first.
    EXPECT_FALSE(InConflict(At(0, -5, 4000, 0, 240), At(-10, 5, 4000, 90, 240), kLimits));
    EXPECT_TRUE(InConflict(At(0, -5, 4000, 0, 240), At(-5, 0, 4000, 90, 240), kLimits));
}

TEST(ConflictAlert, OnlyMovingShownTrafficConflictsAndClosingIsTheRateTheGapShrinks) {
    testing::ReportedTraffic traffic;
    const auto from = [](double east, double north) {
        const geo::GeoPoint p = geo::MovedBy(47, -122, {east, north});
        return testing::FlightPath{.Lat = p.Lat, .Lon = p.Lon};
    };
    testing::FlightPath north = from(0, -4);
    north.SpeedKt = 180;
    testing::FlightPath south = from(0, 4);
    south.TrackDeg = 180;
    south.SpeedKt = 180;
    testing::FlightPath taxiing = from(0.5, -4);  // beside the first, but slow
    taxiing.SpeedKt = 40;
    traffic.Add("NORTH", 2, north);
    traffic.Add("SOUTH", 3, south);
    traffic.Add("TAXI", 4, taxiing);
    traffic.RunUntil(4);
    const ScopeTraffic scope{traffic.Table, 1, "ATC"};
    EXPECT_TRUE(FindConflicts(scope, traffic.History, kLimits).empty()) << "speeds not known yet";

    // 8 nm apart closing at 360 kt: in conflict from the start until they
    // have passed and opened beyond 3 nm, after about 110 s.
    for (double t = 6; t <= 130; t += 0.5) {
        traffic.RunUntil(t);
        const std::vector<ConflictPair> pairs = FindConflicts(scope, traffic.History, kLimits);
        if (t == 6 || t == 100) {
            EXPECT_EQ(pairs, (std::vector<ConflictPair>{{0, 1}})) << t;
        }
        if (t == 120) {
            EXPECT_TRUE(pairs.empty());
        }
    }

    // Filtered out by altitude, neither is in conflict.
    const ScopeTraffic filtered{traffic.Table, 1, "ATC", AltitudeBand{6000, 9000}};
    EXPECT_TRUE(FindConflicts(filtered, traffic.History, kLimits).empty());

    EXPECT_NEAR(ClosingKt(At(0, 0, 5000, 90, 250), At(10, 0, 5000, 270, 250)), 500, 0.5);
    EXPECT_NEAR(ClosingKt(At(0, 0, 5000, 0, 140), At(0, -3, 5000, 0, 170)), 30, 0.5)
        << "the one behind faster";
    EXPECT_NEAR(ClosingKt(At(0, 0, 5000, 0, 170), At(0, -3, 5000, 0, 140)), -30, 0.5);
    EXPECT_NEAR(ClosingKt(At(0, 0, 5000, 0, 200), At(4, 0, 5000, 0, 200)), 0, 0.01) << "side by side";
    EXPECT_NEAR(ClosingKt(At(0, 0, 5000, 0, 200), At(0, 0, 5000, 90, 200)), 282.8, 0.5) << "at one spot";
}

}  // namespace
}  // namespace tarnwick
