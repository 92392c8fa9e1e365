// Airspace records decoded from byte fixtures laid out by hand.
#include <gtest/gtest.h>

#include <string>

#include "scenery/scenery_file.h"
#include "scenery/scenery_fixtures.h"
#include "state/program_state.h"
#include "support/parse_into_world.h"

namespace tarnwick {
namespace {

using testing::AirspaceFile;

constexpr std::int32_t kFreq = 0x01283500;  // 128.35

TEST(AirspaceRecords, ClassesAndWhichOnesAreKept) {
    AirspaceFile file;
    file.Record([&] {
        file.Name("HIGH");
        file.Frequency(kFreq, "Seattle Center");
        file.Start(0, 0, -1, -1);
    });
    file.Record([&] {
        file.Name("LOW");
        file.Frequency(kFreq, "Seattle Center");
        file.Start(0, 0, 0, 18000);
    });
    file.Record([&] {
        file.Name("B");
        file.Start(0, 0, 0, 10000);
    });
    file.Record([&] {
        file.Name("C");
        file.Start(0, 0, 0, 4000);
    });
    file.Record([&] {
        file.Name("D");
        file.Start(0, 0, 0, 2500);
    });
    file.Record([&] {
        file.Name("NO NAME WITH FREQ");
        file.Frequency(kFreq, "");
        file.Start(0, 0, 0, 10000);
    });
    file.Record([&] {
        file.Name("HEX FREQ");
        file.Frequency(0x0128A000, "Unit");
        file.Start(0, 0, 0, 18000);
    });
    file.Record([&] {
        file.Name("LAST PAIR");
        file.Start(0, 0, 0, 2000);
        file.Circle(5, 0, 12000);
    });
    file.Record([&] {
        file.Name("CUT");
        file.Start(0, 0, 0, 18000);
        file.Sub(0x12004, 16);  // no such boundary record: the record ends here
        file.Frequency(kFreq, "Never Read");
    });
    file.Record([&] {
        file.Name("NO POINTS");
        file.Frequency(kFreq, "Unit");
    });
    ProgramState state;
    const SceneryFileOutcome outcome = testing::ParseIntoWorld(file.Finish(), state);
    ASSERT_FALSE(outcome.Malformed) << outcome.Reason;
    EXPECT_EQ(outcome.AirspacesAdded, 8);
    ASSERT_EQ(state.Settings.AirspaceCount, 8);
    ASSERT_EQ(state.World.WorldAirspaces.size(), 9u);
    EXPECT_EQ(state.World.WorldAirspaces[8], AirspaceRecord{});
    const std::pair<const char*, const char*> expected[] = {
        {"HIGH", "ARTCC/FIR (HIGH)"},     {"LOW", "ARTCC/FIR (LOW)"},
        {"B", "Airspace Class B"},        {"NO NAME WITH FREQ", "Airspace Class B"},
        {"HEX FREQ", "Airspace Class B"}, {"LAST PAIR", "Airspace Class B"},
        {"CUT", "Airspace Class B"},      {"NO POINTS", "ARTCC/FIR (LOW)"}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(state.World.WorldAirspaces[i].AirspaceName, expected[i].first) << i;
        EXPECT_EQ(state.World.WorldAirspaces[i].ClassText, expected[i].second) << i;
    }
    const AirspaceRecord& high = state.World.WorldAirspaces[0];
    EXPECT_EQ(high.FrequencyText, "128.35 Mhz");
    EXPECT_EQ(high.FullName, "Seattle Center");
    EXPECT_EQ(high.FromAltitude, -1);
    EXPECT_EQ(high.ToAltitude, -1);
    EXPECT_EQ(state.World.WorldAirspaces[3].FrequencyText, "128.35 Mhz");
    EXPECT_EQ(state.World.WorldAirspaces[3].FullName, "");
    EXPECT_EQ(state.World.WorldAirspaces[4].FrequencyText, "");
    EXPECT_EQ(state.World.WorldAirspaces[4].FullName, "Unit");
    EXPECT_EQ(state.World.WorldAirspaces[5].ToAltitude, 12000)
        << "a later altitude pair overwrites the earlier";
    EXPECT_EQ(state.World.WorldAirspaces[6].PointCount, 1);
    EXPECT_EQ(state.World.WorldAirspaces[6].FullName, "");
    EXPECT_FALSE(state.World.WorldAirspaces[7].Points.IsSized());
}

TEST(AirspaceRecords, BoundaryPointsAndRectangle) {
    constexpr std::int32_t kLat = 5273153;      // 47.450073... degrees
    constexpr std::int32_t kLon = -1458522795;  // -122.251968... degrees
    AirspaceFile file;
    file.Record([&] {
        file.Name("SEA");
        file.Rectangle(kLat, kLon, 200035, 1 << 24);
        file.Start(kLat, kLon, 0, 10000);
        file.Point(0x12001, kLat, 0);
        file.Circle(7, 0, 10000);
        file.Point(0x12003, kLat, kLon);  // skipped
        file.Point(0x12005, 0, kLon);
        file.Point(0x12006, kLat, kLon);
        file.Point(0x12007, kLat, kLon);
    });
    ProgramState state;
    ASSERT_FALSE(testing::ParseIntoWorld(file.Finish(), state).Malformed);
    ASSERT_EQ(state.Settings.AirspaceCount, 1);
    const AirspaceRecord& airspace = state.World.WorldAirspaces[0];
    EXPECT_EQ(airspace.Corner1Lat, 1.8);
    EXPECT_EQ(airspace.Corner1Lon, -122.252);
    EXPECT_EQ(airspace.Corner2Lat, 47.4501);
    EXPECT_EQ(airspace.Corner2Lon, 1.4062) << "1.40625 rounds to the even neighbour";
    ASSERT_EQ(airspace.PointCount, 6);
    ASSERT_EQ(airspace.Points.SlotCount(), 7u);
    EXPECT_EQ(airspace.Points[6], BoundaryPoint{});
    const std::uint8_t kinds[] = {0, 1, 2, 5, 3, 4};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(airspace.Points[i].Kind, kinds[i]) << i;
    EXPECT_EQ(airspace.Points[0].Lat, 47.4501);
    EXPECT_EQ(airspace.Points[0].Lon, -122.252);
    EXPECT_EQ(airspace.Points[1].Lon, 0.0);
    EXPECT_EQ(airspace.Points[2], (BoundaryPoint{2, 0.0, 0.0, 7}));
    EXPECT_EQ(airspace.Points[3].Lat, 0.0);
    EXPECT_EQ(airspace.Points[0].Radius, 0);
}

TEST(AirspaceRecords, CentreLiesHalfwayFromTheFirstCornerOnTheTrueCourse) {
    // Corners (0, 0) and (0, 1.4062): 84 nm apart, due east. The declination
    // at the first corner must not bend the course the centre is found on.
    AirspaceFile file;
    file.Record([&] {
        file.Rectangle(0, 0, 0, 1 << 24);
        file.Start(0, 0, 0, 10000);
    });
    ProgramState state;
    state.Declination->Cells[DeclinationGrid::IndexOf(0, 0)] = 1821;  // +10 degrees
    ASSERT_FALSE(testing::ParseIntoWorld(file.Finish(), state).Malformed);
    const AirspaceRecord& airspace = state.World.WorldAirspaces[0];
    EXPECT_NEAR(airspace.CenterLon, 0.7, 1e-3) << "42 nm east of the first corner";
    EXPECT_NEAR(airspace.CenterLat, 0.0, 0.02);
}

TEST(AirspaceRecords, SectionAndGroupWalks) {
    AirspaceFile file;
    // An airport record for directory entries to point at.
    file.bytes.I32(0x1000, 1).I32(0x1008, 1).Header(0x1010, 0, 0);
    auto directoryBlock = [&](const char* name) {  // name: up to 8 bytes
        const std::int64_t at = file.At();
        file.bytes.Header(at, 0x30001, 40).I32(at + 20, 1);
        file.bytes.Header(at + 24, 0x30002, 16)
            .I32(at + 32, 0x50001)
            .I32(at + 36, 0x1000)
            .Text(at + 40, name);
        file.MoveTo(at + 48);
    };

    file.OpenSectionBlock(3);  // not a group: skipped whole
    file.OpenRecord();
    file.Name("IN SKIPPED BLOCK");
    file.Start(0, 0, 0, 10000);
    file.CloseRecord();
    file.CloseSectionBlock();

    file.OpenSectionBlock();
    file.OpenRecord(6);  // not a record: skipped
    file.Name("NOT A RECORD");
    file.Start(0, 0, 0, 10000);
    file.CloseRecord();
    directoryBlock("InGroup");  // skipped inside a group
    file.OpenRecord();
    file.Name("FIRST");
    file.Start(0, 0, 0, 10000);
    file.CloseRecord();
    file.CloseSectionBlock();

    directoryBlock("One");  // a directory chain of two blocks in the section
    directoryBlock("Two");
    file.OpenSectionBlock();  // the walk resumes here, after the chain
    file.OpenRecord();
    file.Name("AFTER");
    file.Start(0, 0, 0, 10000);
    file.CloseRecord();
    file.CloseSectionBlock();

    ProgramState state;
    const SceneryFileOutcome outcome = testing::ParseIntoWorld(file.Finish(), state);
    ASSERT_FALSE(outcome.Malformed) << outcome.Reason;
    ASSERT_EQ(state.Settings.AirspaceCount, 2);
    EXPECT_EQ(state.World.WorldAirspaces[0].AirspaceName, "FIRST");
    EXPECT_EQ(state.World.WorldAirspaces[1].AirspaceName, "AFTER");
    ASSERT_EQ(state.Settings.AirportCount, 2);
    EXPECT_EQ(state.World.WorldAirports[0].Name, "One");
    EXPECT_EQ(state.World.WorldAirports[1].Name, "Two");
    EXPECT_EQ(outcome.AirportsAdded, 2);
}

}  // namespace
}  // namespace tarnwick
