// Airport records decoded from byte fixtures laid out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "scenery/scenery_file.h"
#include "scenery/scenery_fixtures.h"
#include "state/program_state.h"
#include "support/parse_into_world.h"

namespace tarnwick {
namespace {

using testing::AirportFile;
using testing::SceneryBytes;

constexpr std::int32_t kRaw45Degrees = 5000875;  // latitude raw: x 90 / 10001750
constexpr std::int32_t kRaw90Degrees = 1 << 30;  // longitude and heading raw: a quarter circle
constexpr std::int32_t kRawHeading45 = 1 << 29;

const AirportRecord& OnlyAirport(const ProgramState& state) {
    EXPECT_EQ(state.Settings.AirportCount, 1);
    EXPECT_EQ(state.World.WorldAirports.size(), 2u);
    EXPECT_EQ(state.World.WorldAirports[1], AirportRecord{}) << "the last slot stays empty";
    return state.World.WorldAirports[0];
}

SceneryFileOutcome Parse(const SceneryBuffer& buffer, ProgramState& state) {
    SceneryFileOutcome outcome = testing::ParseIntoWorld(buffer, state);
    EXPECT_FALSE(outcome.Malformed) << outcome.Reason;
    return outcome;
}

TEST(AirportRecords, ReferencePointNameIdentifierAndElevation) {
    AirportFile file("Seattle Tacoma Intl");
    file.Reference(kRaw45Degrees, kRaw90Degrees, 131);
    file.Identifier(std::string("k\0sea", 5));
    ProgramState state;
    const SceneryFileOutcome outcome = Parse(file.Finish(), state);
    EXPECT_EQ(outcome.AirportsAdded, 1);
    const AirportRecord& airport = OnlyAirport(state);
    EXPECT_EQ(airport.Name, "Seattle Tacoma Intl");
    EXPECT_EQ(airport.IcaoId, "KSEA") << "upper-cased, the zero byte skipped";
    EXPECT_DOUBLE_EQ(airport.Lat, 45.0);
    // The reference point divides by 2^32 + 1: a quarter circle is not quite 90.
    EXPECT_EQ(airport.Lon, 89.99999997904524);
    EXPECT_EQ(airport.ElevationFt, 430) << "131 m";
}

TEST(AirportRecords, DirectoryEntriesThatFailTheirChecksAddNothing) {
    // Six entries of 24 bytes from 0x118 under an announced count of 5: the
    // walk visits entries 0 to 5, so the last one is read too.
    struct Entry {
        std::int32_t type, check, record;
    };
    const Entry entries[] = {{0x30002, 0x50001, 0x300},   // good
                             {0x30002, 0x50002, 0x300},   // wrong check value
                             {0x30002, 0x50001, 0},       // no record
                             {0x30002, 0x50001, 0x340},   // record without its two 1s
                             {0x30003, 0x50001, 0x300},   // not an airport entry
                             {0x30002, 0x50001, 0x300}};  // good, past the count
    SceneryBytes bytes = SceneryBytes::File(0x100, 0);
    bytes.Header(0x100, 0x30001, 16 + 6 * 24).I32(0x100 + 20, 5);
    for (int i = 0; i < 6; ++i) {
        const std::int64_t at = 0x118 + 24 * i;
        bytes.Header(at, entries[i].type, 16).I32(at + 8, entries[i].check).I32(at + 12, entries[i].record);
        bytes.Text(at + 16, "Field " + std::to_string(i));
    }
    bytes.Header(0x118 + 6 * 24, 0, 0);
    bytes.I32(0x300, 1).I32(0x308, 1).Header(0x310, 0, 0);
    bytes.I32(0x340, 1).I32(0x348, 2).Header(0x350, 0, 0);
    ProgramState state;
    Parse(bytes.Buffer(), state);
    ASSERT_EQ(state.Settings.AirportCount, 2);
    EXPECT_EQ(state.World.WorldAirports[0].Name, "Field 0");
    EXPECT_EQ(state.World.WorldAirports[1].Name, "Field 5");
}

TEST(AirportRecords, DirectoryChainsAcrossBlocksAndStopsAtTheEndOfTheFile) {
    // Airport record first, then two directory blocks of one entry each; the
    // file ends right after the second block, where its extra entry would be.
    SceneryBytes bytes = SceneryBytes::File(0x200, 0);
    bytes.I32(0x100, 1).I32(0x108, 1).Header(0x110, 0, 0);
    for (int block = 0; block < 2; ++block) {
        const std::int64_t at = 0x200 + 48 * block;
        bytes.Header(at, 0x30001, 40).I32(at + 20, 1);
        bytes.Header(at + 24, 0x30002, 16).I32(at + 32, 0x50001).I32(at + 36, 0x100).Text(at + 40, "Same");
    }
    bytes.Resize(0x200 + 96);
    ProgramState state;
    Parse(bytes.Buffer(), state);
    EXPECT_EQ(state.Settings.AirportCount, 2);
}

TEST(AirportRecords, FirstFrequencyOfEachTypeWins) {
    AirportFile file;
    file.Frequency(0x01219000, 6);  // tower 121.9
    file.Frequency(0x01180000, 6);  // a second tower: ignored
    file.Frequency(0x012A9000, 5);  // ground with a hexadecimal digit: no frequency
    file.Frequency(0x01217000, 5);  // so this ground frequency is the first one
    file.Frequency(0x01283500, 7);
    file.Frequency(0x01193000, 8);
    file.Frequency(0x01196500, 9);
    file.Frequency(0x01225000, 4);  // a type the airport does not keep
    ProgramState state;
    Parse(file.Finish(), state);
    const AirportRecord& airport = OnlyAirport(state);
    EXPECT_EQ(airport.TowerFreq, "121.9");
    EXPECT_EQ(airport.GroundFreq, "121.7");
    EXPECT_EQ(airport.ClearanceFreq, "128.35");
    EXPECT_EQ(airport.ApproachFreq, "119.3");
    EXPECT_EQ(airport.DepartureFreq, "119.65");
}

TEST(AirportRecords, RunwayDesignatorsLengthsAndSlots) {
    AirportFile file;
    file.Runway(0, 0, 0, 2000, 9, 1);
    file.Runway(0, 0, 0, 1000, 36, 0);
    file.Runway(0, 0, 0, 900, 18, 3);
    file.Runway(0, 0, 0, 900, 40, 1);  // no such runway number
    file.Runway(0, 0, 0, 900, 9, 9);   // no such designator code
    ProgramState state;
    Parse(file.Finish(), state);
    const AirportRecord& airport = OnlyAirport(state);
    ASSERT_EQ(airport.RunwayCount, 5);
    ASSERT_EQ(airport.Runways.SlotCount(), 6u);
    EXPECT_EQ(airport.Runways[5], RunwayEntry{});
    EXPECT_FALSE(airport.IlsList.IsSized());
    const std::pair<const char*, const char*> ids[] = {
        {"9L", "27R"}, {"36", "18"}, {"18C", "36C"}, {"40", ""}, {"9", "27"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(airport.Runways[i].PrimaryId, ids[i].first) << i;
        EXPECT_EQ(airport.Runways[i].SecondaryId, ids[i].second) << i;
    }
    // Heading 0 at the equator: the drawn line runs north-south, 30 m short
    // at each end once the runway is longer than 300 m.
    const double drawnDegrees[] = {549.6 * 360 / 40007000, 244.8 * 360 / 40007000, 274.32 * 360 / 40007000};
    for (int i = 0; i < 3; ++i) {
        const RunwayEntry& runway = airport.Runways[i];
        EXPECT_NEAR(runway.End2Lat - runway.End1Lat, drawnDegrees[i], 1e-12) << i;
        EXPECT_NEAR(runway.End1Lat, -runway.End2Lat, 1e-15);
        EXPECT_NEAR(runway.End1Lon, 0.0, 1e-15);
    }
    EXPECT_EQ(airport.Runways[0].LengthFt, 2000);
    EXPECT_EQ(airport.Runways[0].WidthFt, 150);
    EXPECT_EQ(airport.Runways[0].ElevationFt, 328) << "100 m";
}

TEST(AirportRecords, RunwayEndsSpreadByLatitudeAndWrapAtTheDateLine) {
    AirportFile file;
    file.Runway(0, 0, kRaw90Degrees, 2000, 9, 0);
    file.Runway(1000175 * 6, 0, kRaw90Degrees, 2000, 9, 0);  // latitude 54
    file.Runway(0, 0x7FFFFFFF, kRaw90Degrees, 2000, 9, 0);   // just short of 180 east
    ProgramState state;
    Parse(file.Finish(), state);
    const AirportRecord& airport = OnlyAirport(state);
    const double equator = airport.Runways[0].End2Lon - airport.Runways[0].End1Lon;
    EXPECT_NEAR(equator, 0.004945534531456995, 1e-12);
    EXPECT_NEAR(airport.Runways[0].End1Lat, 0.0, 1e-15);
    const double north = airport.Runways[1].End2Lon - airport.Runways[1].End1Lon;
    EXPECT_NEAR(north * std::cos(54.0 * 3.14159265358979 / 180.0), equator, 1e-12);
    const RunwayEntry& dateLine = airport.Runways[2];
    EXPECT_GT(dateLine.End1Lon, 179.99);
    EXPECT_LT(dateLine.End2Lon, -179.99) << "wrapped into -180..180";
    EXPECT_NEAR(dateLine.End2Lon + 360.0 - dateLine.End1Lon, equator, 1e-9);
}

// Runway centred just west of longitude 0.5: its west end lies in grid column
// 0 (declination +5) and its east end in column 1 (declination -5), so each
// heading shows where its declination was taken.
class RunwayHeadings : public ::testing::Test {
   protected:
    void SetUp() override {
        state.Declination->Cells[DeclinationGrid::IndexOf(0, 0)] = 911;   // +5.004 degrees
        state.Declination->Cells[DeclinationGrid::IndexOf(0, 1)] = -911;  // -5.004 degrees
    }
    ProgramState state;
    static constexpr std::int32_t kLonRaw = 5965232;  // 0.49999997 degrees
};

TEST_F(RunwayHeadings, EachEndTakesTheDeclinationWhereItLies) {
    AirportFile file;
    file.Runway(0, kLonRaw, kRaw90Degrees, 1000, 9, 0);
    Parse(file.Finish(), state);
    const RunwayEntry& runway = OnlyAirport(state).Runways[0];
    ASSERT_LT(runway.End1Lon, 0.5);
    ASSERT_GT(runway.End2Lon, 0.5);
    EXPECT_EQ(runway.PrimaryMagHeading, 85);
    EXPECT_EQ(runway.SecondaryMagHeading, 275) << "-90 true, +5 in the east column, folded";
}

TEST_F(RunwayHeadings, IlsSnapsToTheRunwayEndItServes) {
    AirportFile file;
    file.Runway(0, kLonRaw, kRaw90Degrees, 1000, 9, 0);
    const std::int32_t ilsLat = 1000175;  // 9 degrees north: grid row 9, declination 0
    const std::int32_t ilsLon = 1 << 24;  // 1.40625 degrees east
    file.Trailer(4, ilsLat, ilsLon, kRaw90Degrees, 0x01103000, "ISEA");
    file.Trailer(3, ilsLat, ilsLon, kRaw90Degrees, 0x01103000, "NOTILS");
    file.Trailer(4, ilsLat, ilsLon, -kRaw90Degrees, 0x01109000, "IRCP");
    file.Trailer(4, 0, ilsLon, kRawHeading45, 0x0110A000, "IOFF");
    file.Identifier("KTST");
    file.Trailer(4, ilsLat, ilsLon, kRaw90Degrees, 0x01103000, "LONE");  // not after a runway
    Parse(file.Finish(), state);
    const AirportRecord& airport = OnlyAirport(state);
    EXPECT_EQ(airport.IcaoId, "KTST") << "decoding goes on after the trailing records";
    ASSERT_EQ(airport.IlsCount, 3);
    ASSERT_EQ(airport.IlsList.SlotCount(), 4u);
    const RunwayEntry& runway = airport.Runways[0];
    const IlsEntry& onCourse = airport.IlsList[0];
    EXPECT_EQ(onCourse.IlsId, "ISEA");
    EXPECT_EQ(onCourse.Freq, "110.3");
    EXPECT_EQ(onCourse.Lat, runway.End1Lat);
    EXPECT_EQ(onCourse.Lon, runway.End1Lon);
    EXPECT_EQ(onCourse.MagHeading, 90) << "declination taken at the localizer's own position";
    const IlsEntry& reciprocal = airport.IlsList[1];
    EXPECT_EQ(reciprocal.IlsId, "IRCP");
    EXPECT_EQ(reciprocal.Lat, runway.End2Lat);
    EXPECT_EQ(reciprocal.Lon, runway.End2Lon);
    EXPECT_EQ(reciprocal.MagHeading, 270);
    const IlsEntry& offCourse = airport.IlsList[2];
    EXPECT_EQ(offCourse.IlsId, "IOFF");
    EXPECT_EQ(offCourse.Freq, "") << "a hexadecimal digit makes no frequency";
    EXPECT_EQ(offCourse.Lat, 0.0);
    EXPECT_EQ(offCourse.Lon, 1.40625) << "keeps its own position";
    EXPECT_EQ(offCourse.MagHeading, 50) << "in column 1 (-5 degrees), row 0";
}

TEST_F(RunwayHeadings, ARunwayHeadedBelowZeroHasAReciprocalWithinTheCircle) {
    constexpr std::int32_t kRawMinus179 = -2135587271;  // -179 degrees true
    constexpr std::int32_t kRawPlus1 = 11930465;        // +1 degree true
    AirportFile file;
    file.Runway(0, 0, kRawMinus179, 1000, 18, 0);  // both ends in column 0: +5 degrees
    file.Trailer(4, 0, 0, kRawPlus1, 0x01103000, "IREC");
    Parse(file.Finish(), state);
    const AirportRecord& airport = OnlyAirport(state);
    const RunwayEntry& runway = airport.Runways[0];
    EXPECT_EQ(runway.PrimaryMagHeading, 176);
    EXPECT_EQ(runway.SecondaryMagHeading, 356) << "+1 true less 5, never a negative heading";
    ASSERT_EQ(airport.IlsCount, 1);
    EXPECT_EQ(airport.IlsList[0].Lat, runway.End2Lat) << "an ILS on the reciprocal course snaps to end 2";
    EXPECT_EQ(airport.IlsList[0].Lon, runway.End2Lon);
}

// Taxiway network of an airport at 45.000009 N, 0 E with one runway 16L.
class TaxiwayNetwork : public ::testing::Test {
   protected:
    TaxiwayNetwork() {
        file.Reference(5000876, 0, 0);
        file.Runway(5000876, 0, 0, 6000, 16, 1);
    }

    // Starts the 0x11001 record; blocks follow from +8.
    std::int64_t Open() {
        start = file.Sub(0x11001, 0);
        return start + 8;
    }
    // Sets the record's body length to end at `end` and adds an identifier
    // after it, to show that decoding resumes after the record.
    SceneryBuffer Close(std::int64_t end) {
        file.bytes.I32(start + 4, end - start - 8);
        file.MoveTo(end);
        file.Identifier("KNET");
        return file.Finish();
    }

    AirportFile file;
    std::int64_t start = 0;
};

TEST_F(TaxiwayNetwork, PointsParkingsSegmentsAndNames) {
    SceneryBytes& b = file.bytes;
    std::int64_t at = Open();
    b.I32(at, 3).I32(at + 4, 12);  // three points
    at += 8;
    b.I32(at, 1).F32(at + 4, 0.0f).F32(at + 8, 0.0f);
    b.I32(at + 12, 2).F32(at + 16, 100.0f).F32(at + 20, -50.0f);
    b.I32(at + 24, 3).F32(at + 28, -100.0f).F32(at + 32, 50.0f);
    at += 36;
    b.I32(at, 0).I32(at + 4, 20);  // an empty parking block is skipped
    at += 8;
    b.I32(at, 6).I32(at + 4, 20);
    at += 8;
    const std::int32_t words[] = {
        14 | 12 << 7 | 3 << 20, 10 | 3 << 7, 0 | 7 << 7, 38 | 5 << 7, 2 | 1 << 7, 37 | 4 << 7};
    for (int i = 0; i < 6; ++i) {
        b.F32(at, 0.0f).F32(at + 4, 10.0f).F32(at + 8, 15.24f).I32(at + 16, words[i]);
        at += 20;
    }
    b.I32(at, -1).I32(at + 4, 32);  // a negative count is skipped too
    at += 8;
    b.I32(at, 8).I32(at + 4, 32);
    at += 8;
    // {type, from, to, name index}
    const std::int32_t segments[][4] = {{0, 0, 1, 1}, {0, 1, 2, 0}, {1, 0, 2, 0}, {1, 2, 0, 5},
                                        {2, 1, 3, 2}, {0, 2, 0, 2}, {0, 0, 2, 3}, {0, 1, 0, 9}};
    for (const auto& s : segments) {
        b.I32(at, s[0]).I32(at + 12, s[1]).I32(at + 16, s[2]).I32(at + 28, s[3]);
        at += 32;
    }
    b.I32(at, 4).I32(at + 4, 8);
    b.Text(at + 8, "A").Text(at + 16, "B").Text(at + 24, "3").Text(at + 32, "C");
    at += 40;
    ProgramState state;
    Parse(Close(at + 24), state);
    const AirportRecord& airport = OnlyAirport(state);
    EXPECT_EQ(airport.IcaoId, "KNET");

    ASSERT_EQ(airport.TaxiPointCount, 3);
    ASSERT_EQ(airport.TaxiPoints.SlotCount(), 3u) << "sized exactly, no spare slot";
    EXPECT_EQ(airport.TaxiPoints[0].Kind, 1);
    EXPECT_EQ(airport.TaxiPoints[0].Lat, 45.00000899842527) << "a zero offset keeps the reference unrounded";
    EXPECT_EQ(airport.TaxiPoints[0].Lon, 0.0);
    EXPECT_EQ(airport.TaxiPoints[1].Kind, 2);
    EXPECT_NEAR(airport.TaxiPoints[1].Lon, 0.001273, 1e-9) << "100 m east at 45 N, 6 decimals";
    EXPECT_NEAR(airport.TaxiPoints[1].Lat, 45.000009 - 0.00045, 1e-9);
    EXPECT_NEAR(airport.TaxiPoints[2].Lon, -0.001273, 1e-9);
    EXPECT_NEAR(airport.TaxiPoints[2].Lat, 45.000009 + 0.00045, 1e-9);

    ASSERT_EQ(airport.ParkingCount, 6);
    ASSERT_EQ(airport.Parkings.SlotCount(), 6u);
    const char* labels[] = {"GATE C 12", "GATE 3", "7", "5", "N PARKING 1", "GATE Z 4"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(airport.Parkings[i].Label, labels[i]) << i;
    EXPECT_EQ(airport.Parkings[0].RadiusFt, 50);
    EXPECT_EQ(airport.Parkings[0].Lon, 0.0);
    EXPECT_NEAR(airport.Parkings[0].Lat, 45.000099, 1e-9);

    ASSERT_EQ(airport.TaxiSegmentCount, 8);
    ASSERT_EQ(airport.TaxiSegments.SlotCount(), 8u);
    const char* names[] = {"B", "A", "Runway 16L", "Runway ", "2", "C", "C", "9"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(airport.TaxiSegments[i].Label, names[i]) << i;
    EXPECT_EQ(airport.TaxiSegments[4].SegmentType, 2);
    EXPECT_EQ(airport.TaxiSegments[4].FromPoint, 1);
    EXPECT_EQ(airport.TaxiSegments[4].ToPoint, 3);
}

TEST_F(TaxiwayNetwork, AnUnknownBlockEndsTheNetworkBeforeAnyNaming) {
    SceneryBytes& b = file.bytes;
    std::int64_t at = Open();
    b.I32(at, 2).I32(at + 4, 32);
    b.I32(at + 8, 0).I32(at + 36, 0);
    b.I32(at + 40, 1).I32(at + 68, 0);
    at += 72;
    b.I32(at, 1).I32(at + 4, 16);  // unknown kind: the network ends here
    b.I32(at + 8, 1).I32(at + 12, 8).Text(at + 16, "A");
    ProgramState state;
    Parse(Close(at + 32), state);
    const AirportRecord& airport = OnlyAirport(state);
    EXPECT_EQ(airport.IcaoId, "KNET");
    ASSERT_EQ(airport.TaxiSegmentCount, 2);
    EXPECT_EQ(airport.TaxiSegments[0].Label, "0");
    EXPECT_EQ(airport.TaxiSegments[1].Label, "0") << "runway segments are named only by a name block";
    EXPECT_FALSE(airport.TaxiPoints.IsSized());
    EXPECT_FALSE(airport.Parkings.IsSized());
}

}  // namespace
}  // namespace tarnwick
