#include "scenery/database_file.h"

#include <gtest/gtest.h>

#include <random>

#include "base/byte_writer.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::Bytes;

AirportRecord SampleAirport() {
    AirportRecord a;
    a.Name = "Seattle-Tacoma Intl";
    a.IcaoId = "KSEA";
    a.Lat = 47.44898;
    a.Lon = -122.30931;
    a.ElevationFt = 433;
    a.TowerFreq = "119.9";
    a.ApproachFreq = "119.2";
    for (int i = 0; i < 2; ++i) {
        RunwayEntry& r = a.Runways.Grow(static_cast<std::size_t>(a.RunwayCount));
        r.PrimaryId = i == 0 ? "16L" : "16R";
        r.SecondaryId = i == 0 ? "34R" : "34L";
        r.CenterLat = 47.44 + i;
        r.End2Lon = -122.3;
        r.PrimaryMagHeading = 164;
        r.SecondaryMagHeading = 344;
        r.LengthFt = 11901;
        r.WidthFt = 150;
        ++a.RunwayCount;
    }
    IlsEntry& ils = a.IlsList.Grow(0);
    ils.IlsId = "ISNQ";
    ils.Freq = "110.3";
    ils.MagHeading = 164;
    a.IlsCount = 1;
    a.TaxiPoints.SizeExactly(2);
    a.TaxiPoints[1] = {2, 47.45, -122.31};
    a.TaxiPointCount = 2;
    a.Parkings.SizeExactly(1);
    a.Parkings[0] = {"Gate A 1", 47.4, -122.3, 118};
    a.ParkingCount = 1;
    a.TaxiSegments.SizeExactly(1);
    a.TaxiSegments[0] = {1, 0, 1, "Runway 16L"};
    a.TaxiSegmentCount = 1;
    return a;
}

AirspaceRecord SampleAirspace() {
    AirspaceRecord s;
    s.Points.Grow(0) = {2, 47.4, -122.3, 10};
    s.PointCount = 1;
    s.Corner1Lat = 47.6;
    s.Corner2Lat = 47.2;
    s.CenterLat = 47.4;
    s.FromAltitude = -1;
    s.ToAltitude = -1;
    s.FrequencyText = "125.1 Mhz";
    s.ClassText = kArtccHigh;
    s.AirspaceName = "ZSE";
    s.FullName = "SEATTLE CENTER";
    return s;
}

TEST(DatabaseFile, EmptyDatabasesHaveTheirFixedSizes) {
    EXPECT_EQ(EncodeAirports(std::vector<AirportRecord>(1)).size(), 64u);
    EXPECT_EQ(EncodeAirspaces(std::vector<AirspaceRecord>(1)).size(), 70u);
    const auto bytes = EncodeAirports(std::vector<AirportRecord>(1));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(DatabaseFile, GrowingListsKeepAnEmptyLastSlot) {
    const AirportRecord a = SampleAirport();
    const auto bytes = EncodeAirports(std::vector<AirportRecord>{a});
    // Name, IcaoId, Lat, Lon, ElevationFt and five frequency texts come first.
    std::size_t at = 2 + a.Name.size() + 2 + 4 + 8 + 8 + 4 + 2 + 0 + 2 + 0 + 2 + 5 + 2 + 0 + 2 + 5;
    const std::vector<std::uint8_t> header(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(at + 10));
    EXPECT_EQ(header, Bytes({1, 0, 3, 0, 0, 0, 0, 0, 0, 0}));  // one dimension, 3 slots, from 0
    ASSERT_EQ(a.Runways.SlotCount(), 3u);
    EXPECT_EQ(a.Runways[2], RunwayEntry{});
}

TEST(DatabaseFile, NeverSizedListIsTwoZeroBytes) {
    AirportRecord a;
    a.IcaoId = "X";
    const auto bytes = EncodeAirports(std::vector<AirportRecord>{a});
    EXPECT_EQ(bytes.size(), 64u + 1);
    // IlsList (two zero bytes) sits right before IlsCount; the whole tail is zero.
    EXPECT_EQ(bytes.back(), 0);
}

TEST(DatabaseFile, WrittenTablesReadBackEqual) {
    testing::TempFolder folder;
    std::vector<AirportRecord> airports = {SampleAirport(), SampleAirport(), {}};
    airports[1].Name = "Z\xFCrich";  // ANSI bytes pass through untouched
    std::vector<AirspaceRecord> airspaces = {SampleAirspace(), {}};
    WriteAirportDatabase(folder.Path() / kAirportsFileName, airports);
    WriteAirspaceDatabase(folder.Path() / kAirspacesFileName, airspaces);

    const auto readAirports = ReadAirportDatabase(folder.Path() / kAirportsFileName, 2);
    EXPECT_FALSE(readAirports.Damaged) << readAirports.Problem;
    EXPECT_EQ(readAirports.Entries, airports);
    EXPECT_EQ(readAirports.Count(), 2);
    const auto readAirspaces = ReadAirspaceDatabase(folder.Path() / kAirspacesFileName, 1);
    EXPECT_FALSE(readAirspaces.Damaged);
    EXPECT_EQ(readAirspaces.Entries, airspaces);
}

TEST(DatabaseFile, ShortFilesKeepWhatWasReadAndSaySo) {
    std::vector<AirportRecord> airports = {SampleAirport(), SampleAirport(), {}};
    const auto bytes = EncodeAirports(airports);
    const auto oneAndAHalf = std::span(bytes).first(bytes.size() / 2 + 10);
    const auto result = DecodeAirports(oneAndAHalf, 2);
    EXPECT_TRUE(result.Damaged);
    EXPECT_FALSE(result.Problem.empty());
    ASSERT_EQ(result.Entries.size(), 3u);  // the whole first, the cut second, one empty slot
    EXPECT_EQ(result.Entries[0], airports[0]);
    EXPECT_EQ(result.Entries[1].Name, airports[1].Name);
    EXPECT_EQ(result.Entries[2], AirportRecord{});

    // A count larger than the file holds reads what is there.
    const auto overCounted = DecodeAirports(bytes, 1000000);
    EXPECT_TRUE(overCounted.Damaged);
    EXPECT_EQ(overCounted.Count(), 3);
    EXPECT_EQ(overCounted.Entries[1], airports[1]);
}

TEST(DatabaseFile, MoreThanTheCountAnnouncesIsDamageButTheAnnouncedEntriesLoad) {
    const std::vector<AirportRecord> airports = {SampleAirport(), SampleAirport(), SampleAirport(), {}};
    const auto bytes = EncodeAirports(airports);
    for (const std::int32_t count : {0, 2}) {
        const auto result = DecodeAirports(bytes, count);
        EXPECT_TRUE(result.Damaged) << count;
        EXPECT_NE(result.Problem.find("holds more"), std::string::npos) << result.Problem;
        ASSERT_EQ(result.Count(), count);
        EXPECT_EQ(result.Entries.back(), AirportRecord{});
        if (count > 0) {
            EXPECT_EQ(result.Entries[1], airports[1]);
        }
    }
    auto appended = bytes;
    appended.push_back(0);
    const auto trailing = DecodeAirports(appended, 3);
    EXPECT_TRUE(trailing.Damaged);
    EXPECT_EQ(trailing.Entries, airports);
    EXPECT_FALSE(DecodeAirports(bytes, 3).Damaged);
}

TEST(DatabaseFile, HugeListCountsAreRefusedBeforeAnyMemoryIsTaken) {
    ByteWriter w;
    w.Text("A");
    w.Text("B");
    w.F64(0);
    w.F64(0);
    w.I32(0);
    for (int i = 0; i < 5; ++i) w.Text("");
    w.I16(1);
    w.U32(0xFFFFFFFF);  // four billion runways
    w.I32(0);
    const auto result = DecodeAirports(w.Bytes(), 1);
    EXPECT_TRUE(result.Damaged);
    EXPECT_NE(result.Problem.find("more than the file can hold"), std::string::npos) << result.Problem;
    EXPECT_EQ(result.Entries[0].Name, "A");
    EXPECT_FALSE(result.Entries[0].Runways.IsSized());
}

TEST(DatabaseFile, OddListHeadersAreDamage) {
    ByteWriter w;
    w.I16(2);  // a two-dimensional boundary list
    const auto result = DecodeAirspaces(w.Bytes(), 0);
    EXPECT_TRUE(result.Damaged);
    ByteWriter v;
    v.I16(1);
    v.U32(1);
    v.I32(5);  // lower bound other than 0
    EXPECT_TRUE(DecodeAirspaces(v.Bytes(), 0).Damaged);
    EXPECT_TRUE(DecodeAirspaces({}, -3).Damaged);
    EXPECT_TRUE(ReadAirspaceDatabase("/nonexistent/world_airspaces.dat", 0).Damaged);
}

TEST(DatabaseFile, RandomCorruptionNeverCrashesAndStaysBounded) {
    std::vector<AirportRecord> airports = {SampleAirport(), SampleAirport(), SampleAirport(), {}};
    const auto clean = EncodeAirports(airports);
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        auto bytes = clean;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        bytes.resize(random() % (bytes.size() + 1));
        const auto result = DecodeAirports(bytes, static_cast<std::int32_t>(random() % 6));
        std::size_t slots = 0;
        for (const auto& a : result.Entries) {
            slots += a.Runways.SlotCount() + a.IlsList.SlotCount() + a.TaxiPoints.SlotCount() +
                     a.Parkings.SlotCount() + a.TaxiSegments.SlotCount();
        }
        EXPECT_LE(slots, bytes.size()) << "round " << round;
        EXPECT_LE(result.Entries.size(), bytes.size() / 64 + 2);
    }
}

}  // namespace
}  // namespace tarnwick
