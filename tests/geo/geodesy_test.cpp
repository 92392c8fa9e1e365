#include "geo/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace tarnwick::geo {
namespace {

DeclinationGrid ZeroGrid() { return DeclinationGrid{}; }

TEST(InverseTrigonometry, EdgesAndOutOfRangeArguments) {
    EXPECT_DOUBLE_EQ(ArcSin(1), 1.5707963267948966);
    EXPECT_EQ(ArcSin(1.0000001), 0.0);
    EXPECT_EQ(ArcSin(-1.5), 0.0);
    EXPECT_DOUBLE_EQ(ArcSin(-1), -1.5707963267948966);
    EXPECT_DOUBLE_EQ(ArcCos(-1), 3.14159265358979);  // the program's pi, not M_PI
    EXPECT_EQ(ArcCos(1), 0.0);
    EXPECT_DOUBLE_EQ(ArcCos(0.5), std::acos(0.5));
    EXPECT_DOUBLE_EQ(ArcCos(-0.5), kPi - 2 * std::atan(std::sqrt(0.5 / 1.5)));
    EXPECT_DOUBLE_EQ(FloorMod(-1, 360), 359);
    EXPECT_DOUBLE_EQ(FloorMod(725, 360), 5);
}

TEST(NormalizeDegrees, CorrectsOnceInEachDirection) {
    for (auto [in, out] :
         {std::pair<int, int>{-5, 355}, {365, 5}, {360, 360}, {0, 0}, {-365, -5}, {721, 361}}) {
        std::int16_t h = static_cast<std::int16_t>(in);
        EXPECT_EQ(NormalizeDegrees(h), out) << in;
        EXPECT_EQ(h, out) << "updated in place";
    }
}

TEST(Distances, EquatorAndAntipodes) {
    EXPECT_EQ(DistanceNm(0, 0, 0, 1), 60);
    EXPECT_EQ(DistanceNm(0, 0, 0, 180), 10800);
    EXPECT_EQ(DistanceNm(10, 20, 10, 20), 0);
    EXPECT_EQ(DistanceFeet(0, 0, 0, 0.01), 3648);
    EXPECT_EQ(DistanceFeet(0, 0, 0, 1), 32767);  // clamped, never wrapped
    EXPECT_EQ(DistanceNm(-80, -170, 80, 10), 10800);
}

TEST(Distances, BothFormulasAgreeNearTheirBoundary) {
    // 1.5 degrees of latitude uses the haversine form, 60 degrees of longitude the law of cosines.
    EXPECT_EQ(DistanceNm(0, 0, 1.5, 0), 90);
    EXPECT_EQ(DistanceNm(0, 0, 0, 60), 3600);
    // Across the 180th meridian the longitude difference is not wrapped, yet the distance is short.
    EXPECT_EQ(DistanceNm(0, 179.5, 0, -179.5), 60);
}

TEST(Distances, MatchIndependentReferenceValues) {
    EXPECT_EQ(DistanceNm(47.4490, -122.3093, 40.6398, -73.7789), 2097);  // SEA - JFK
    EXPECT_EQ(DistanceNm(51.4700, -0.4543, -33.9399, 151.1753), 9184);   // LHR - SYD
    EXPECT_EQ(DistanceNm(47.4490, -122.3093, 45.5887, -122.5975), 112);  // SEA - PDX
}

TEST(Courses, AreRoundedUpToWholeDegreesTrue) {
    const DeclinationGrid grid = ZeroGrid();
    EXPECT_EQ(MagneticCourse(grid, 47.4490, -122.3093, 40.6398, -73.7789), 83);    // 82.96
    EXPECT_EQ(MagneticCourse(grid, 51.4700, -0.4543, -33.9399, 151.1753), 61);     // 60.48
    EXPECT_EQ(MagneticCourse(grid, 47.4490, -122.3093, 45.5887, -122.5975), 187);  // 186.19
    // With the program's own pi, due north comes out as 0 and due east as 91:
    // stored headings depend on exactly this arithmetic.
    EXPECT_EQ(MagneticCourse(grid, 0, 0, 1, 0), 0);
    EXPECT_EQ(MagneticCourse(grid, 0, 0, 0, 1), 91);
    EXPECT_EQ(MagneticCourse(grid, 0, 0, 0, -1), 270);
    EXPECT_EQ(MagneticCourse(grid, 5, 5, 5, 5), 360);  // identical points
    EXPECT_EQ(MagneticCourse(grid, 47.7, -122.3093, 47.4490, -122.3093), 180) << "due south stays south";
}

TEST(Courses, StartOnAPoleDoesNotFail) {
    const DeclinationGrid grid = ZeroGrid();
    const std::int16_t course = MagneticCourse(grid, 90, 0, 10, 10);
    EXPECT_GE(course, 0);
    EXPECT_LE(course, 360);
}

TEST(Courses, TakeTheDeclinationAtTheStart) {
    DeclinationGrid grid = ZeroGrid();
    grid.Cells[DeclinationGrid::IndexOf(0, 0)] = 1821;  // 10.002 degrees east
    EXPECT_EQ(MagneticCourse(grid, 0, 0, 0, 1), 81);
    EXPECT_EQ(MagneticCourse(grid, 0, 1, 0, 0), 270);
}

TEST(Declination, GridCellsAreChosenByRoundingHalvesToEven) {
    DeclinationGrid grid = ZeroGrid();
    grid.Cells[DeclinationGrid::IndexOf(0, 0)] = 1000;    // column 0
    grid.Cells[DeclinationGrid::IndexOf(0, 359)] = 2000;  // column 359
    grid.Cells[DeclinationGrid::IndexOf(90, 10)] = 3000;  // row 180
    grid.Cells[DeclinationGrid::IndexOf(88, 10)] = 4000;  // row 178
    EXPECT_EQ(DeclinationDegrees(grid, 0, -0.4), 5);      // 1000 * unit = 5.49
    EXPECT_EQ(DeclinationDegrees(grid, 0, -0.6), 10);     // 10.99
    EXPECT_EQ(DeclinationDegrees(grid, 89.5, 10), 16);    // 89.5 rounds to 90
    EXPECT_EQ(DeclinationDegrees(grid, 88.5, 10), 21);    // 88.5 rounds to 88
    EXPECT_EQ(DeclinationDegrees(grid, 95, 10), 0) << "off the grid gives no correction";
    EXPECT_EQ(DeclinationDegrees(grid, 0, 359.7), 0) << "rounds to column 360, off the grid";
}

TEST(Declination, TruncatesTowardZeroAndFoldsTheResult) {
    DeclinationGrid grid = ZeroGrid();
    grid.Cells[DeclinationGrid::IndexOf(0, 0)] = -546;  // -2.999 degrees
    EXPECT_EQ(TrueToMagnetic(grid, 100, 0, 0), 102);
    EXPECT_EQ(MagneticToTrue(grid, 100, 0, 0), 98);
    EXPECT_EQ(TrueToMagnetic(grid, 359, 0, 0), 1);
    EXPECT_EQ(MagneticToTrue(grid, 1, 0, 0), 359);
    EXPECT_EQ(TrueToMagnetic(grid, 358, 0, 0), 360);  // 360 is kept, not folded to 0
}

TEST(Destinations, MoveAlongMeridiansAndTheEquator) {
    GeoPoint p = DestinationNm(0, 0, 90, 60);
    EXPECT_DOUBLE_EQ(p.Lat, 0);
    EXPECT_DOUBLE_EQ(p.Lon, 1);
    p = DestinationNm(10, 20, 0, 60);
    EXPECT_DOUBLE_EQ(p.Lat, 11);
    EXPECT_DOUBLE_EQ(p.Lon, 20);
    p = DestinationNm(10, 20, 0, -10);
    EXPECT_DOUBLE_EQ(p.Lat, 10);
    EXPECT_DOUBLE_EQ(p.Lon, 20);
    p = DestinationFeet(0, 0, 180, 6080);
    EXPECT_DOUBLE_EQ(p.Lat, -0.01667);        // five decimals
    p = DestinationMetres(0, 0, 270, -1852);  // the distance's magnitude counts
    EXPECT_DOUBLE_EQ(p.Lon, -0.016667);       // six decimals
}

TEST(Destinations, WrapAcrossTheDateLine) {
    const GeoPoint p = DestinationNm(0, 179.5, 90, 60);
    EXPECT_DOUBLE_EQ(p.Lon, -179.5);
    const GeoPoint q = DestinationNm(0, -179.5, 270, 60);
    EXPECT_DOUBLE_EQ(q.Lon, 179.5);
}

TEST(Destinations, GoingOutAndBackReturnsToTheStart) {
    const DeclinationGrid grid = ZeroGrid();
    const double lat = 47.4490, lon = -122.3093;
    for (int c : {0, 45, 135, 200, 315}) {
        const auto course = static_cast<std::int16_t>(c);
        const GeoPoint out = DestinationNm(lat, lon, course, 30);
        EXPECT_EQ(DistanceNm(lat, lon, out.Lat, out.Lon), 30) << course;
        const std::int16_t back = MagneticCourse(grid, out.Lat, out.Lon, lat, lon);
        const int expected = (course + 180) % 360;
        EXPECT_LE(std::abs(((back - expected) % 360 + 540) % 360 - 180), 1) << course << " back " << back;
    }
}

TEST(Destinations, AReusedOriginGivesExactlyTheSameCoordinates) {
    std::mt19937 random(99);
    std::uniform_real_distribution<double> lat(-89, 89), lon(-180, 180), metres(-3000, 3000);
    for (int i = 0; i < 2000; ++i) {
        const double a = lat(random), b = lon(random), d = metres(random);
        const DestinationOrigin origin(a, b);
        for (int c : {0, 90, 180, 270, 33}) {
            const auto course = static_cast<std::int16_t>(c);
            const GeoPoint expected = DestinationMetres(a, b, course, d);
            EXPECT_EQ(origin.LatitudeAfterMetres(course, d), expected.Lat);
            EXPECT_EQ(origin.LongitudeAfterMetres(course, d), expected.Lon);
        }
    }
}

}  // namespace
}  // namespace tarnwick::geo
