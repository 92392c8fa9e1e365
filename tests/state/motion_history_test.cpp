#include "state/motion_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/reported_flight.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
using testing::FlightPath;
using testing::ReportedTraffic;

Motion MotionOf(const ReportedTraffic& traffic, const std::string& name, std::int32_t id) {
    return traffic.History.MotionOf({id, name});
}

double TrackError(double a, double b) { return std::abs(std::remainder(a - b, 360.0)); }

TEST(MotionHistory, SteadyFlightGivesItsSpeedAndTrackOnceFiveSecondsAreKept) {
    ReportedTraffic traffic;
    traffic.Add("STEADY", 2, {.TrackDeg = 70, .SpeedKt = 250});
    traffic.RunUntil(4.9);
    EXPECT_EQ(MotionOf(traffic, "STEADY", 2).GroundSpeedKt, std::nullopt) << "too early to tell";
    EXPECT_EQ(MotionOf(traffic, "STEADY", 2).VerticalSpeedFpm, std::nullopt);
    traffic.RunUntil(6.1);
    const Motion motion = MotionOf(traffic, "STEADY", 2);
    ASSERT_TRUE(motion.GroundSpeedKt && motion.TrackTrue && motion.VerticalSpeedFpm);
    EXPECT_NEAR(*motion.GroundSpeedKt, 250, 2.5);
    EXPECT_NEAR(*motion.TrackTrue, 70, 0.5);
    EXPECT_NEAR(*motion.VerticalSpeedFpm, 0, 1);
    EXPECT_EQ(MotionOf(traffic, "STEADY", 3).GroundSpeedKt, std::nullopt) << "another id is another aircraft";
}

TEST(MotionHistory, TurningTrackLiesBetweenTheTracksAtBothEndsOfTheBaseline) {
    ReportedTraffic traffic;
    traffic.Add("TURN", 2, {.TrackDeg = 350, .SpeedKt = 180, .TurnDegPerS = 3});
    for (double t = 8; t <= 40; t += 4) {
        traffic.RunUntil(t);
        const Motion motion = MotionOf(traffic, "TURN", 2);
        ASSERT_TRUE(motion.TrackTrue);
        // The chord of the last five to six seconds: about 8 degrees behind.
        const double now = traffic.TrueAt("TURN", t).TrackDeg;
        EXPECT_LT(TrackError(*motion.TrackTrue, now), 12) << t;
        EXPECT_GT(TrackError(*motion.TrackTrue, now), 4) << t;
        EXPECT_NEAR(*motion.GroundSpeedKt, 180, 3) << t;
    }
}

TEST(MotionHistory, ClimbAndDescentThroughWholeMetresOfAltitude) {
    ReportedTraffic traffic;
    traffic.Add("UP", 2, {.TrackDeg = 160, .SpeedKt = 160, .ClimbFpm = 2000});
    traffic.Add("DOWN", 3, {.AltitudeFt = 9000, .TrackDeg = 20, .SpeedKt = 220, .ClimbFpm = -700});
    traffic.Add("LEVEL", 4, {.AltitudeFt = 3000, .SpeedKt = 120});
    for (double t = 6; t <= 30; t += 3) {
        traffic.RunUntil(t);
        EXPECT_NEAR(*MotionOf(traffic, "UP", 2).VerticalSpeedFpm, 2000, 60) << t;
        EXPECT_NEAR(*MotionOf(traffic, "DOWN", 3).VerticalSpeedFpm, -700, 60) << t;
        EXPECT_NEAR(*MotionOf(traffic, "LEVEL", 4).VerticalSpeedFpm, 0, 1) << t;
    }
}

TEST(MotionHistory, ReportsArrivingLateByUpToATickAndAHalfStayWithinAFewPerCent) {
    ReportedTraffic traffic;
    std::mt19937 random(17);
    std::uniform_int_distribution<int> late(0, 150);
    std::vector<milliseconds> delays(1000);
    for (milliseconds& delay : delays) delay = milliseconds(late(random));
    traffic.Add("JITTER", 2, {.TrackDeg = 225, .SpeedKt = 250},
                [&](int report) { return delays[static_cast<std::size_t>(report)]; });
    for (double t = 6; t <= 60; t += 1.3) {
        traffic.RunUntil(t);
        const Motion motion = MotionOf(traffic, "JITTER", 2);
        EXPECT_NEAR(*motion.GroundSpeedKt, 250, 250 * 0.04) << t;
        EXPECT_LT(TrackError(*motion.TrackTrue, 225), 0.5) << t;
    }
}

TEST(MotionHistory, StandingStillIsZeroWithoutATrackAndSoIsFallingSilent) {
    ReportedTraffic traffic;
    traffic.Add("PARKED", 2, {.AltitudeFt = 433});
    traffic.Add("QUIET", 3, {.TrackDeg = 90, .SpeedKt = 140});
    traffic.RunUntil(10);
    EXPECT_EQ(MotionOf(traffic, "PARKED", 2).GroundSpeedKt, 0.0);
    EXPECT_EQ(MotionOf(traffic, "PARKED", 2).TrackTrue, std::nullopt);
    EXPECT_EQ(MotionOf(traffic, "PARKED", 2).VerticalSpeedFpm, 0.0);
    EXPECT_NEAR(*MotionOf(traffic, "QUIET", 3).GroundSpeedKt, 140, 2);
    // Nothing more comes from it while the others go on reporting.
    traffic.Silence("QUIET");
    traffic.RunUntil(17);
    EXPECT_EQ(MotionOf(traffic, "QUIET", 3).GroundSpeedKt, 0.0);
}

TEST(MotionHistory, TrailGoesBackAtTheSpacingAsFarAsKept) {
    ReportedTraffic traffic;
    traffic.Add("TRAIL", 2, {.TrackDeg = 0, .SpeedKt = 360});
    traffic.RunUntil(18);
    const std::vector<MotionSample> trail = traffic.History.Trail({2, "TRAIL"}, 5, milliseconds(5000));
    ASSERT_EQ(trail.size(), 3u) << "18 s of flight hold three steps of 5 s";
    double lastLat = traffic.Table[0].Latitude;
    milliseconds lastTime = traffic.Now();
    for (const MotionSample& sample : trail) {
        EXPECT_LT(sample.Latitude, lastLat) << "northbound: each dot further south";
        EXPECT_NEAR(static_cast<double>((lastTime - sample.Time).count()), 5000, 1100);
        lastLat = sample.Latitude;
        lastTime = sample.Time;
    }
}

TEST(MotionHistory, LeavingTheTableLeavesTheHistoryAndMemoryIsBounded) {
    MotionHistory history;
    TrafficTable table;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(table.Append("P" + std::to_string(i), i + 2, kKindPlayer));
    for (int second = 0; second < 200; ++second) {
        for (PlayerRecord& entry : table.Entries()) entry.Latitude = second * 0.01;
        history.Observe(table, milliseconds(second * 1000));
    }
    EXPECT_EQ(history.PlayerCount(), 1000u);
    EXPECT_LE(history.SampleCount(), MotionHistory::kMostSamples);
    EXPECT_GE(history.SampleCount(), 60'000u) << "each keeps its share";

    while (table.PlayerCount() > 10) table.RemoveAt(table.PlayerCount() - 1);
    for (int second = 200; second < 400; ++second) {
        for (PlayerRecord& entry : table.Entries()) entry.Latitude = second * 0.01;
        history.Observe(table, milliseconds(second * 1000));
    }
    EXPECT_EQ(history.PlayerCount(), 10u);
    EXPECT_EQ(history.SampleCount(), 10 * MotionHistory::kMostSamplesPerPlayer);
    EXPECT_EQ(history.MotionOf({900, "P898"}).GroundSpeedKt, std::nullopt);
}

}  // namespace
}  // namespace tarnwick
