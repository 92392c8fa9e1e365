#include "scenery_kit/bgl_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "geo/geodesy.h"
#include "scenery/scenery_buffer.h"

namespace tarnwick::bgl {
namespace {

bgl::Airport TinyAirport() {
    bgl::Airport a;
    a.Name = "Tiny";
    a.Icao = "TNY";
    a.Lat = 10;
    a.Lon = 20;
    a.ElevationFt = 100;
    a.Frequencies = {{kTowerFrequency, 118.3}};
    Runway r;
    r.Number = 9;
    r.DesignatorCode = 1;
    r.CenterLat = 10;
    r.CenterLon = 20.01;
    r.TrueHeading = 90;
    r.ElevationFt = 100;
    r.LengthFt = 3000;
    r.WidthFt = 100;
    r.IlsList = {{"ITNY", 10, 20.03, 110.3, 270}};
    a.Runways = {r};
    return a;
}

float FloatAt(const SceneryBuffer& b, std::int64_t at) {
    const auto bits = static_cast<std::uint32_t>(b.ReadI32(at));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(BglWriter, RawFieldsAreTheReadersConversionsReversed) {
    EXPECT_EQ(LatitudeRaw(10), 1111306);  // 10 x 10001750 / 90 = 1111305.56
    EXPECT_EQ(LatitudeRaw(-90), -10001750);
    EXPECT_EQ(LongitudeRaw(90), 1 << 30);
    EXPECT_EQ(LongitudeRaw(180), INT32_MIN);          // the same meridian as -180
    EXPECT_EQ(LongitudeRaw(-122.5), -1461481927);     // -122.5 x 2^32 / 360 = -1461481927.1
    EXPECT_EQ(ReferenceLongitudeRaw(20), 238609294);  // 20 x (2^32 + 1) / 360 = 238609294.28
    EXPECT_EQ(HeadingRaw(270), -(1 << 30));
    EXPECT_EQ(HeadingRaw(-90), -(1 << 30));
    EXPECT_EQ(ElevationRaw(433), 132);  // whole metres: 131.98
    EXPECT_EQ(FrequencyRaw(118.3), 0x1183000);
    EXPECT_EQ(FrequencyRaw(118.025), 0x1180250);
    EXPECT_EQ(FrequencyRaw(110.75), 0x1107500);
    EXPECT_EQ(ParkingNameWord(14, 12, 3), 14u | (12u << 7) | (3u << 20));
    EXPECT_THROW(ParkingNameWord(38, 8192, 0), std::invalid_argument);
    EXPECT_THROW(FrequencyRaw(-1), std::invalid_argument);
}

TEST(BglWriter, TinyAirportLandsAtTheExpectedOffsets) {
    SceneryFile file;
    file.Airports = {TinyAirport()};
    const SceneryBuffer b(WriteSceneryFile(file), "tiny.bgl");

    // Header
    EXPECT_EQ(static_cast<std::uint32_t>(b.ReadI32(118)), 0x87654321u);
    EXPECT_EQ(b.ReadI32(144), 1);
    EXPECT_EQ(b.ReadI32(156), 176);
    EXPECT_EQ(b.ReadI32(164), 0);
    // Directory block at 176 with one entry at +24, then the entry past the
    // count (not an airport entry), then a block of another type ending the chain.
    EXPECT_EQ(b.ReadI32(176), 0x30001);
    EXPECT_EQ(b.ReadI32(180), 48);
    EXPECT_EQ(b.ReadI32(196), 1);
    EXPECT_EQ(b.ReadI32(200), 0x30002);
    EXPECT_EQ(b.ReadI32(204), 16);
    EXPECT_EQ(b.ReadI32(208), 0x50001);
    EXPECT_EQ(b.ReadI32(212), 240);
    EXPECT_EQ(b.ReadText(216, 8), "Tiny");
    EXPECT_NE(b.ReadI32(224), 0x30002);
    EXPECT_NE(b.ReadI32(232), 0x30001);
    // Airport record at 240
    EXPECT_EQ(b.ReadI32(240), 1);
    EXPECT_EQ(b.ReadI32(248), 1);
    EXPECT_EQ(b.ReadI32(256), 0x10001);
    EXPECT_EQ(b.ReadI32(268), 1111306);
    EXPECT_EQ(b.ReadI32(276), 238609294);
    EXPECT_EQ(b.ReadI32(284), 30);  // 100 ft = 30.48 m
    EXPECT_EQ(b.ReadI32(288), 0x10006);
    EXPECT_EQ(b.ReadI32(292), 4);
    EXPECT_EQ(b.ReadText(296, 4), "TNY");
    EXPECT_EQ(b.ReadI32(300), 0x20001);
    EXPECT_EQ(b.ReadI32(308), 0x1183000);
    EXPECT_EQ(b.ReadI32(312), 6);  // tower
    // Runway at 316
    EXPECT_EQ(b.ReadI32(316), 0x10002);
    EXPECT_EQ(b.ReadI32(320), 48);
    EXPECT_EQ(b.ReadI32(328), 1111306);
    EXPECT_EQ(b.ReadI32(336), 238728599);  // 20.01 x 2^32 / 360
    EXPECT_EQ(b.ReadI32(348), 1 << 30);    // 90 degrees
    EXPECT_EQ(b.ReadI32(356), 3000);
    EXPECT_EQ(b.ReadI32(360), 100);
    EXPECT_EQ(b.ReadI32(364), 1);
    EXPECT_EQ(b.ReadI32(368), 9);
    // Its ILS right after it
    EXPECT_EQ(b.ReadI32(372), 0x10004);
    EXPECT_EQ(b.ReadI32(376), 56);
    EXPECT_EQ(b.ReadI32(404), -(1 << 30));  // 270 degrees
    EXPECT_EQ(b.ReadI32(408), 0x1103000);
    EXPECT_EQ(b.ReadI32(412), 4);
    EXPECT_EQ(b.ReadText(428, 8), "ITNY");
    // Then a sub-record of no airport type ends the record, and the file.
    EXPECT_EQ(b.ReadI32(436), 0);
    EXPECT_EQ(b.Size(), 444);
    EXPECT_EQ(b.ReadI32(244), 444 - 240 - 8);
}

TEST(BglWriter, RecordsTheReaderSkipsSitBesideTheOnesItReads) {
    bgl::Airport a = TinyAirport();
    a.OtherRecords = 3;
    a.Runways[0].OtherTrailers = 1;
    SceneryFile file;
    file.Airports = {a};
    const SceneryBuffer b(WriteSceneryFile(file), "other.bgl");
    // After the frequency (ending at 316): 0x10003, 0x10005 and a lone 0x10004
    // that looks like an ILS but follows no runway, 56 bytes each.
    EXPECT_EQ(b.ReadI32(316), 0x10003);
    EXPECT_EQ(b.ReadI32(372), 0x10005);
    EXPECT_EQ(b.ReadI32(428), 0x10004);
    EXPECT_EQ(b.ReadI32(428 + 40), 4);
    EXPECT_EQ(b.ReadI32(484), 0x10002);
    // The runway's own trailer that is no ILS, then the ILS.
    EXPECT_EQ(b.ReadI32(540), 0x10004);
    EXPECT_EQ(b.ReadI32(540 + 40), 1);
    EXPECT_EQ(b.ReadI32(596), 0x10004);
    EXPECT_EQ(b.ReadI32(596 + 40), 4);
}

TEST(BglWriter, TaxiNetworkBlocksComeInReadingOrderWithNamesLast) {
    bgl::Airport a = TinyAirport();
    a.Runways.clear();
    a.Frequencies.clear();
    a.Taxi.Points = {{2, 150.5, -20.25}};
    a.Taxi.Parkings = {{-10, 5, 24, 14, 12, 1}};
    a.Taxi.Segments = {{0, 0, 0, 0}, {2, 0, 0, 0}};
    a.Taxi.Names = {"ALPHA"};
    SceneryFile file;
    file.Airports = {a};
    const SceneryBuffer b(WriteSceneryFile(file), "taxi.bgl");
    const std::int64_t net = 300;  // after the reference point and identifier
    ASSERT_EQ(b.ReadI32(net), 0x11001);
    EXPECT_EQ(b.ReadI32(net + 8), 1);
    EXPECT_EQ(b.ReadI32(net + 12), 12);
    EXPECT_EQ(b.ReadI32(net + 16), 2);
    EXPECT_EQ(FloatAt(b, net + 20), 150.5f);
    EXPECT_EQ(FloatAt(b, net + 24), -20.25f);
    EXPECT_EQ(b.ReadI32(net + 28), 1);
    EXPECT_EQ(b.ReadI32(net + 32), 20);
    EXPECT_EQ(FloatAt(b, net + 36), -10.0f);
    EXPECT_EQ(FloatAt(b, net + 44), 24.0f);
    EXPECT_EQ(b.ReadI32(net + 52), 14 | (12 << 7) | (1 << 20));
    EXPECT_EQ(b.ReadI32(net + 56), 2);
    EXPECT_EQ(b.ReadI32(net + 60), 32);
    EXPECT_EQ(b.ReadI32(net + 64 + 32), 2);  // second segment's type
    EXPECT_EQ(b.ReadI32(net + 128), 1);
    EXPECT_EQ(b.ReadI32(net + 132), 8);
    EXPECT_EQ(b.ReadText(net + 136, 8), "ALPHA");
    EXPECT_EQ(b.ReadI32(net + 4), 136);  // body ends right after the names
    EXPECT_EQ(b.ReadI32(net + 144), 0);  // the record's closing sub-record
}

TEST(BglWriter, AirspaceSectionNestsRecordsInAGroup) {
    Airspace s;
    s.Name = "B";
    s.FullName = "SEA";
    s.Mhz = 125.1;
    s.LowerFt = -1;
    s.UpperFt = -1;
    s.North = 48;
    s.South = 47;
    s.West = -123;
    s.East = -122;
    s.Points = {{kMovePoint, 47.5, -122.5, 0}, {kCircle, 0, 0, 6}};
    SceneryFile file;
    file.Airspaces = {s};
    const SceneryBuffer b(WriteSceneryFile(file), "air.bgl");
    EXPECT_EQ(b.ReadI32(156), 0);
    ASSERT_EQ(b.ReadI32(164), 176);
    EXPECT_EQ(b.ReadI32(176), 1);
    EXPECT_EQ(b.ReadI32(184), 4);  // a group follows at +16
    EXPECT_EQ(b.ReadI32(192), 1);
    EXPECT_EQ(b.ReadI32(200), 5);  // one airspace, sub-records at +16
    EXPECT_EQ(b.ReadI32(208), 0x10006);
    EXPECT_EQ(b.ReadText(216, 4), "B");
    EXPECT_EQ(b.ReadI32(220), 0x1000B);
    EXPECT_EQ(b.ReadI32(228), LatitudeRaw(47));     // corner 2 latitude (south)
    EXPECT_EQ(b.ReadI32(232), LongitudeRaw(-123));  // corner 1 longitude (west)
    EXPECT_EQ(b.ReadI32(236), LatitudeRaw(48));     // corner 1 latitude (north)
    EXPECT_EQ(b.ReadI32(240), LongitudeRaw(-122));  // corner 2 longitude (east)
    EXPECT_EQ(b.ReadI32(244), 0x12002);
    EXPECT_EQ(b.ReadI32(256), LatitudeRaw(47.5));
    EXPECT_EQ(b.ReadI32(268), -1);
    EXPECT_EQ(b.ReadI32(272), -1);
    EXPECT_EQ(b.ReadI32(276), 0x12008);
    EXPECT_EQ(b.ReadI32(284), 6);
    EXPECT_EQ(b.ReadI32(292), -1);
    EXPECT_EQ(b.ReadI32(300), 0x20001);
    EXPECT_EQ(b.ReadI32(308), 0x1251000);
    EXPECT_EQ(b.ReadText(316, 4), "SEA");
    EXPECT_EQ(b.ReadI32(320), 0);  // ends the record
    EXPECT_EQ(b.ReadI32(196), 320 + 8 - 192 - 8);
    EXPECT_EQ(b.ReadI32(328), 0);  // ends the group
    EXPECT_EQ(b.ReadI32(336), 0);  // ends the section
}

TEST(BglWriter, OffsetsLeadBackToThePositionAlongTheReadersMoves) {
    const double refLat = 47.4475, refLon = -122.3129;
    for (const auto& [lat, lon] : {std::pair{47.4623, -122.2901}, std::pair{47.4301, -122.3302}}) {
        const Offset o = OffsetFrom(refLat, refLon, lat, lon);
        const auto east = geo::DestinationMetres(refLat, refLon, o.EastM > 0 ? 90 : 270, std::abs(o.EastM));
        const auto north = geo::DestinationMetres(refLat, refLon, o.NorthM > 0 ? 0 : 180, std::abs(o.NorthM));
        EXPECT_NEAR(east.Lon, lon, 1.5e-6);
        EXPECT_NEAR(north.Lat, lat, 1.5e-6);
    }
    EXPECT_NEAR(OffsetFrom(0, 0, 0, 1).EastM, 60 * 1852, 0.01);  // one degree on the equator is 60 nm
}

TEST(BglWriter, NonAirportFilesCarryNoMarker) {
    const auto bytes = NonAirportFile(4096, 7);
    const SceneryBuffer b(bytes, "x.bgl");
    EXPECT_EQ(b.ReadI32(118), 0);
    EXPECT_EQ(NonAirportFile(4096, 7), bytes);
    EXPECT_NE(NonAirportFile(4096, 8), bytes);
    EXPECT_EQ(NonAirportFile(50, 1).size(), 50u);
}

}  // namespace
}  // namespace tarnwick::bgl
