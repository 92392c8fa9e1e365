// The conflict alert's inhibitions over scripted tracks: pilots that report
// as real ones do around an airport with one runway, and the pairs the alert
// finds at every half second of their flight.
#include "traffic/conflict_inhibitions.h"

#include <gtest/gtest.h>

#include <optional>

#include "geo/local_offset.h"
#include "support/reported_flight.h"
#include "traffic/conflict_alert.h"

namespace tarnwick {
namespace {

using testing::FlightPath;

constexpr double kFieldLat = 47.0;
constexpr double kFieldLon = -122.0;
constexpr double kElevationFt = 400.0;
// The runway lands on 160 from its first end and on 340 from its second.
constexpr double kCourse = 160.0;
constexpr double kRunwayNm = 2.0;

geo::GeoPoint From(geo::GeoPoint at, double course, double distanceNm) {
    return geo::MovedBy(at.Lat, at.Lon, geo::AlongCourse(course, distanceNm));
}

// The first end: the threshold of the final on 160.
geo::GeoPoint Threshold() { return From({kFieldLat, kFieldLon}, kCourse + 180.0, kRunwayNm / 2.0); }

ChosenArea TestArea() {
    AirportRecord airport;
    airport.Name = "TEST FIELD";
    airport.Lat = kFieldLat;
    airport.Lon = kFieldLon;
    airport.ElevationFt = static_cast<std::int32_t>(kElevationFt);
    RunwayEntry runway;
    const geo::GeoPoint end1 = Threshold();
    const geo::GeoPoint end2 = From({kFieldLat, kFieldLon}, kCourse, kRunwayNm / 2.0);
    runway.End1Lat = end1.Lat;
    runway.End1Lon = end1.Lon;
    runway.End2Lat = end2.Lat;
    runway.End2Lon = end2.Lon;
    airport.Runways.Grow(0) = runway;
    airport.RunwayCount = 1;
    ChosenArea area;
    area.AreaAirports = {airport, {}};
    area.AreaAirportCount = 1;
    area.AreaCenterLat = kFieldLat;
    area.AreaCenterLon = kFieldLon;
    return area;
}

// A flight `outNm` before the threshold of 160 on its extended centreline
// (`rightNm` to the right of it), flying the final's course.
FlightPath OnFinal(double outNm, double altitudeFt, double speedKt, double rightNm = 0.0) {
    const geo::GeoPoint p = From(From(Threshold(), kCourse + 180.0, outNm), kCourse + 90.0, rightNm);
    return {.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = altitudeFt, .TrackDeg = kCourse, .SpeedKt = speedKt};
}

// A flight `east` and `north` nautical miles from the field.
FlightPath Near(double east, double north, double altitudeFt, double track, double speedKt) {
    const geo::GeoPoint p = geo::MovedBy(kFieldLat, kFieldLon, {east, north});
    return {.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = altitudeFt, .TrackDeg = track, .SpeedKt = speedKt};
}

struct Flown {
    // When the pair was first alerted, and how far apart it truly was then.
    std::optional<double> FirstAlertS;
    double DistanceAtFirstAlertNm = 0.0;
};

// Two pilots flying for `seconds`, the alert asked every half second once
// their speeds are known, with the aids' limits and inhibitions.
Flown Fly(const FlightPath& a, const FlightPath& b, const RadarAids& aids, double seconds) {
    testing::ReportedTraffic traffic;
    traffic.Add("FIRST", 2, a);
    traffic.Add("SECOND", 3, b);
    const ScopeTraffic scope{traffic.Table, 1, "ATC"};
    const ConflictInhibitions inhibitions(aids, TestArea());
    Flown flown;
    for (double t = 0.5; t <= seconds && !flown.FirstAlertS; t += 0.5) {
        traffic.RunUntil(t);
        if (FindConflicts(scope, traffic.History, ConflictLimitsOf(aids), inhibitions).empty()) continue;
        flown.FirstAlertS = t;
        const FlightPath pa = traffic.TrueAt("FIRST", t);
        const FlightPath pb = traffic.TrueAt("SECOND", t);
        flown.DistanceAtFirstAlertNm = geo::LengthNm(geo::OffsetBetween(pa.Lat, pa.Lon, pb.Lat, pb.Lon));
    }
    return flown;
}

RadarAids AlertOn() {
    RadarAids aids;
    aids.Conflicts = true;
    return aids;
}

RadarAids Without(bool RadarAids::*inhibition) {
    RadarAids aids = AlertOn();
    aids.*inhibition = false;
    return aids;
}

TEST(ConflictInhibitions, ArrivalsInTrailOnOneFinalAreNotAlertedUnlessTheFollowerClosesFast) {
    // 2.5 nm and 700 ft apart on the final, both descending: within the minima.
    const FlightPath leader = OnFinal(6.0, kElevationFt + 1900, 140);
    const auto follower = [](double speedKt) { return OnFinal(8.5, kElevationFt + 2600, speedKt); };
    EXPECT_FALSE(Fly(leader, follower(140), AlertOn(), 40).FirstAlertS);
    EXPECT_FALSE(Fly(leader, follower(155), AlertOn(), 40).FirstAlertS) << "closing at 15 kt";
    EXPECT_TRUE(Fly(leader, follower(170), AlertOn(), 40).FirstAlertS) << "closing at 30 kt";
    EXPECT_TRUE(Fly(leader, follower(140), Without(&RadarAids::InhibitFinal), 40).FirstAlertS);
    RadarAids faster = AlertOn();
    faster.FinalClosingKt = 40;
    EXPECT_FALSE(Fly(leader, follower(170), faster, 40).FirstAlertS);
    // Off the centreline, or farther out than the final reaches, a pair is alerted.
    EXPECT_TRUE(Fly(leader, OnFinal(8.5, kElevationFt + 2600, 140, 1.3), AlertOn(), 40).FirstAlertS);
    EXPECT_TRUE(Fly(OnFinal(11.0, 4000, 140), OnFinal(13.5, 4300, 140), AlertOn(), 20).FirstAlertS);
    RadarAids longer = AlertOn();
    longer.FinalDistanceNm = 15;
    EXPECT_FALSE(Fly(OnFinal(11.0, 4000, 140), OnFinal(13.5, 4300, 140), longer, 20).FirstAlertS);
}

TEST(ConflictInhibitions, TrafficInTheCircuitIsNotAlertedBelowItsHeight) {
    // Two on the downwind leg, 1.5 nm beside the runway, 1.5 nm apart at
    // 1,000 ft above the field, the one behind 30 kt faster.
    const auto downwind = [](double along, double altitudeFt, double speedKt) {
        const geo::GeoPoint p = From(From({kFieldLat, kFieldLon}, kCourse - 90.0, 1.5), kCourse, along);
        return FlightPath{.Lat = p.Lat,
                          .Lon = p.Lon,
                          .AltitudeFt = altitudeFt,
                          .TrackDeg = kCourse + 180.0,
                          .SpeedKt = speedKt};
    };
    const double circuit = kElevationFt + 1000;
    EXPECT_FALSE(Fly(downwind(0, circuit, 100), downwind(1.5, circuit, 130), AlertOn(), 30).FirstAlertS);
    EXPECT_TRUE(
        Fly(downwind(0, circuit, 100), downwind(1.5, circuit, 130), Without(&RadarAids::InhibitCircuit), 30)
            .FirstAlertS);
    // Above the circuit's height, or one of them beyond its radius, they are alerted.
    const double above = kElevationFt + 1600;
    EXPECT_TRUE(Fly(downwind(0, above, 100), downwind(1.5, above, 130), AlertOn(), 30).FirstAlertS);
    EXPECT_TRUE(Fly(downwind(4.0, circuit, 100), downwind(5.5, circuit, 130), AlertOn(), 10).FirstAlertS);
    RadarAids higher = AlertOn();
    higher.CircuitHeightFt = 2000;
    EXPECT_FALSE(Fly(downwind(0, above, 100), downwind(1.5, above, 130), higher, 30).FirstAlertS);
}

TEST(ConflictInhibitions, RealConflictsAreStillRedBeforeTheyAreInsideTheMinima) {
    // Head-on far from the field, 20 nm apart closing at 500 kt: within 3 nm
    // after 122 s, so alerted once that is 60 s ahead, at about 11.3 nm.
    const Flown headOn = Fly(Near(30, 0, 5000, 90, 250), Near(50, 0, 5000, 270, 250), AlertOn(), 130);
    ASSERT_TRUE(headOn.FirstAlertS);
    EXPECT_NEAR(*headOn.FirstAlertS, 62, 2);
    EXPECT_NEAR(headOn.DistanceAtFirstAlertNm, 11.3, 0.4);

    // Crossing over the field above the circuit: both reach it after 173 s
    // and come within 3 nm of each other 60 s after the alert.
    const Flown crossing = Fly(Near(0, -12, 3000, 0, 250), Near(-12, 0, 3000, 90, 250), AlertOn(), 180);
    ASSERT_TRUE(crossing.FirstAlertS);
    EXPECT_NEAR(*crossing.FirstAlertS, 82, 2);
    EXPECT_GT(crossing.DistanceAtFirstAlertNm, 8.0);

    // Head-on along the final: the one flying out is not on it.
    const FlightPath outbound = OnFinal(3.0, 3000, 200);
    FlightPath reverse = outbound;
    reverse.TrackDeg = kCourse + 180.0;
    const Flown alongFinal = Fly(OnFinal(9.0, 3000, 140), reverse, AlertOn(), 60);
    ASSERT_TRUE(alongFinal.FirstAlertS);
    EXPECT_GT(alongFinal.DistanceAtFirstAlertNm, 3.0);
}

TEST(ConflictInhibitions, ASideBySidePairBeyondTheMinimaStaysGreen) {
    for (const RadarAids& aids : {AlertOn(), Without(&RadarAids::InhibitFinal)}) {
        EXPECT_FALSE(Fly(Near(20, 0, 5000, 0, 250), Near(23.2, 0, 5000, 0, 250), aids, 90).FirstAlertS);
        // On the final's line, 3.2 nm apart across it.
        EXPECT_FALSE(Fly(OnFinal(8, 3000, 140, -1.6), OnFinal(8, 3000, 140, 1.6), aids, 40).FirstAlertS);
    }
}

TEST(ConflictInhibitions, PlacesFollowTheRunwaysEndsTrackAndTheFieldsHeight) {
    const ConflictInhibitions inhibitions(AlertOn(), TestArea());
    const auto finals = [&](const FlightPath& f) {
        return inhibitions.PlaceOf(f.Lat, f.Lon, f.AltitudeFt, f.TrackDeg).Finals;
    };
    const auto finalOf = [&](double out, double track, double right = 0.0) {
        FlightPath f = OnFinal(out, 3000, 140, right);
        f.TrackDeg = track;
        return finals(f);
    };
    const std::vector<std::size_t> landing160 = finalOf(5, kCourse);
    ASSERT_EQ(landing160.size(), 1u);
    EXPECT_EQ(finalOf(5, kCourse + 14.5), landing160);
    EXPECT_TRUE(finalOf(5, kCourse - 15.5).empty());
    EXPECT_EQ(finalOf(5, kCourse, 0.95), landing160);
    EXPECT_TRUE(finalOf(5, kCourse, -1.05).empty());
    EXPECT_EQ(finalOf(11.9, kCourse), landing160);
    EXPECT_TRUE(finalOf(12.1, kCourse).empty());
    EXPECT_EQ(finalOf(-1.5, kCourse), landing160) << "over the runway";
    EXPECT_TRUE(finalOf(-2.5, kCourse).empty()) << "past its far end";
    // The other end's final: beyond the runway, landing on 340.
    const std::vector<std::size_t> landing340 = finalOf(-2.0 - 5.0, kCourse + 180);
    ASSERT_EQ(landing340.size(), 1u);
    EXPECT_NE(landing340, landing160);

    const auto circuits = [&](double altitudeFt, double eastNm) {
        const FlightPath f = Near(eastNm, 0, altitudeFt, 0, 100);
        return inhibitions.PlaceOf(f.Lat, f.Lon, f.AltitudeFt, f.TrackDeg).Circuits.size();
    };
    EXPECT_EQ(circuits(kElevationFt + 1499, 4.9), 1u);
    EXPECT_EQ(circuits(kElevationFt + 1500, 1.0), 0u) << "lower than, not up to";
    EXPECT_EQ(circuits(kElevationFt, 5.1), 0u);

    RadarAids off = AlertOn();
    off.InhibitFinal = false;
    off.InhibitCircuit = false;
    const ConflictInhibitions none(off, TestArea());
    const FlightPath f = OnFinal(1, kElevationFt + 300, 140);
    const InhibitionPlace nowhere = none.PlaceOf(f.Lat, f.Lon, f.AltitudeFt, f.TrackDeg);
    EXPECT_TRUE(nowhere.Finals.empty() && nowhere.Circuits.empty());
}

TEST(ConflictInhibitions, OnlyThePlacesBothShareExcuseAPair) {
    ChosenArea area = TestArea();
    // A second airport 6 nm east, with no runway.
    AirportRecord other;
    const geo::GeoPoint p = geo::MovedBy(kFieldLat, kFieldLon, {6, 0});
    other.Lat = p.Lat;
    other.Lon = p.Lon;
    other.ElevationFt = static_cast<std::int32_t>(kElevationFt);
    area.AreaAirports = {area.AreaAirports[0], other, {}};
    area.AreaAirportCount = 2;
    const ConflictInhibitions inhibitions(AlertOn(), area);
    // `east` nm east of the field, 600 ft above both airports.
    const auto place = [&](double east) {
        const geo::GeoPoint at = geo::MovedBy(kFieldLat, kFieldLon, {east, 0});
        return inhibitions.PlaceOf(at.Lat, at.Lon, 1000, 0);
    };
    EXPECT_TRUE(inhibitions.Excuses(place(2.8), place(3.2), 100)) << "both within 5 nm of both";
    EXPECT_FALSE(inhibitions.Excuses(place(-1), place(7), 0)) << "each in a circuit of its own";
    const ConflictInhibitions nothing;
    const InhibitionPlace nowhere = nothing.PlaceOf(p.Lat, p.Lon, 1000, 0);
    EXPECT_FALSE(nothing.Excuses(nowhere, nowhere, 0)) << "nothing inhibited";
}

}  // namespace
}  // namespace tarnwick
