#include "multiplayer/demo/demo_airfield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

constexpr double kNm = 1852.0;

double Distance(LocalPoint a, LocalPoint b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

// Metres to the right of the runway's centreline (negative: to the left).
double RightOf(const ActiveRunway& runway, LocalPoint p) {
    const LocalPoint ahead = runway.At(1.0, 0.0);
    const double dx = ahead.X - runway.Threshold.X, dy = ahead.Y - runway.Threshold.Y;
    return (p.X - runway.Threshold.X) * dy - (p.Y - runway.Threshold.Y) * dx;
}

TEST(DemoAirfield, TheLongestRunwayIsUsedFromTheEndChosen) {
    const DemoPlane plane{47.449, -122.309};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<SimulatedRunway> runways = {
        {47.4500, -122.3100, 47.4510, -122.3100, 400, "01", "19"},    // 111 m: too short
        {47.4638, -122.3079, 47.4316, -122.3080, 432, "16L", "34R"},  // 3.6 km
        {47.4600, -122.3200, 47.4400, -122.3200, 410, "16R", "34L"},  // 2.2 km
        {nan, -122.3, 47.0, -122.3, 0, "", ""},
    };
    const auto forward = LongestRunwayInUse(plane, runways, false);
    const auto reverse = LongestRunwayInUse(plane, runways, true);
    ASSERT_TRUE(forward && reverse);
    EXPECT_EQ(forward->Designator, "16L");
    EXPECT_EQ(reverse->Designator, "34R");
    EXPECT_NEAR(forward->LengthM, 3581, 5);
    EXPECT_EQ(forward->ElevationFt, 432);
    EXPECT_NEAR(std::fmod(forward->HeadingDeg + 180.0, 360.0), reverse->HeadingDeg, 1e-9);
    // Each end's far end is the other's threshold.
    EXPECT_LT(Distance(forward->At(forward->LengthM, 0), reverse->Threshold), 0.01);
    EXPECT_LT(Distance(reverse->At(reverse->LengthM, 0), forward->Threshold), 0.01);

    EXPECT_FALSE(LongestRunwayInUse(plane, {runways[0], runways[3]}, false)) << "nothing long enough";
    std::vector<SimulatedRunway> unnamed = {runways[1]};
    unnamed[0].Id1.clear();
    EXPECT_EQ(LongestRunwayInUse(plane, unnamed, false)->Designator, "18") << "named from its true heading";
    EXPECT_EQ(LaidOutRunway(0.0, 0).Designator, "36");
    EXPECT_EQ(LaidOutRunway(40.0, 0).Designator, "04");
}

TEST(DemoAirfield, RoutesJoinTheRunwayAndCircuitsTurnLeft) {
    const AircraftPerformance perf{125, 240, 300, 130, 3500, 2500, 3.0, 5.0};
    for (double heading : {0.0, 90.0, 235.0}) {
        const ActiveRunway runway = LaidOutRunway(heading, 400);
        EXPECT_LT(Distance(runway.At(runway.LengthM / 2, 0), {}), 0.01) << "laid out across the centre";

        for (double side : {-1.0, 1.0}) {
            const LocalPoint from = runway.At(-30 * kNm, side * 10 * kNm);
            const std::vector<Waypoint> arrival = ArrivalRoute(runway, perf, from);
            ASSERT_EQ(arrival.size(), 5u);
            EXPECT_GT(RightOf(runway, arrival[0].At) * side, 0.0) << "joins from its own side";
            for (std::size_t i = 1; i < arrival.size(); ++i) {
                EXPECT_NEAR(RightOf(runway, arrival[i].At), 0.0, 1e-6) << "on the centreline " << i;
                EXPECT_LE(arrival[i].AltitudeFt, arrival[i - 1].AltitudeFt) << "never climbs " << i;
            }
            EXPECT_TRUE(arrival[3].Touchdown);
            EXPECT_LT(Distance(arrival[3].At, runway.Threshold), 0.01);
            EXPECT_EQ(arrival[3].AltitudeFt, 400);
            EXPECT_LT(Distance(arrival[4].At, runway.Threshold), runway.LengthM) << "stops on the runway";
        }

        const std::vector<Waypoint> pattern = PatternRoute(runway, perf);
        EXPECT_LT(RightOf(runway, pattern[1].At), 0.0) << "downwind on the left";
        EXPECT_LT(RightOf(runway, pattern[2].At), 0.0);
        EXPECT_EQ(pattern[1].AltitudeFt, 1400);
        EXPECT_TRUE(pattern.back().Touchdown);
        EXPECT_LT(Distance(pattern.back().At, runway.Threshold), 0.01);

        const std::vector<Waypoint> departure = DepartureRoute(runway, perf, heading + 90.0, 12000);
        EXPECT_LT(Distance(departure.front().At, runway.Threshold), 0.01);
        EXPECT_NEAR(RightOf(runway, departure[1].At), 0.0, 1e-6) << "climbs out straight ahead";
        EXPECT_NEAR(Distance(departure.back().At, {}), 45 * kNm, 1e-6);
        EXPECT_EQ(departure.back().AltitudeFt, 12000);
        EXPECT_LT(Distance(LineUpRoute(runway).back().At, runway.Threshold), 0.01);
        EXPECT_NEAR(RightOf(runway, RollOutRoute(runway).back().At), 0.0, 1e-6);
    }
}

TEST(DemoAirfield, ThePlaneGoesThereAndBack) {
    for (const DemoPlane plane : {DemoPlane{47.449, -122.309}, DemoPlane{-33.9, 179.95}}) {
        for (const auto& [lat, lon] :
             {std::pair{47.5, -122.2}, std::pair{-34.0, -179.9}, std::pair{0.0, 0.0}}) {
            const LocalPoint p = plane.ToLocal(lat, lon);
            EXPECT_NEAR(plane.LatitudeOf(p), lat, 1e-9);
            EXPECT_NEAR(plane.LongitudeOf(p), lon, 1e-9);
        }
    }
}

}  // namespace
}  // namespace tarnwick
