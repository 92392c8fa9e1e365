// The file-level entry point: the header, and damaged files, which must be
// refused whole without a crash and without touching the tables.
#include "scenery/scenery_file.h"
#include "support/parse_into_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "scenery/scenery_fixtures.h"
#include "scenery/scenery_parse.h"

namespace tarnwick {
namespace {

using testing::AirportFile;
using testing::AirspaceFile;
using testing::SceneryBytes;

constexpr std::int32_t kRaw45Degrees = 5000875;
constexpr std::int32_t kRaw90Degrees = 1 << 30;

// Offsets of a few fields of RichFile that the damage tests aim at.
struct RichLayout {
    std::int64_t referenceRecord = 0;
    std::int64_t runwayRecord = 0;
    std::int64_t taxiPointBlock = 0;
    std::int64_t airspaceGroupBlock = 0;
};

// One airport with a reference point, a frequency, a runway with an ILS and a
// taxiway network, and an airspace section at 0x1000 with two kept airspaces.
std::vector<std::uint8_t> RichFile(RichLayout* layout = nullptr) {
    AirportFile airport("Rich Field");
    RichLayout at;
    at.referenceRecord = airport.Reference(kRaw45Degrees, 0, 100);
    airport.Identifier("krch");
    airport.Frequency(0x01219000, 6);
    at.runwayRecord = airport.Runway(kRaw45Degrees, 0, kRaw90Degrees, 8000, 9, 1);
    airport.Trailer(4, kRaw45Degrees, 0, kRaw90Degrees, 0x01103000, "IRCH");
    const std::int64_t network = airport.Sub(0x11001, 8 + 24 + 8 + 20 + 8 + 64 + 8 + 16);
    SceneryBytes& b = airport.bytes;
    std::int64_t p = network + 8;
    at.taxiPointBlock = p;
    b.I32(p, 2).I32(p + 4, 12).F32(p + 12, 40.0f).F32(p + 28, -40.0f);
    p += 32;
    b.I32(p, 1).I32(p + 4, 20).F32(p + 12, 30.0f).F32(p + 16, 12.0f).I32(p + 24, 12 | 4 << 7);
    p += 28;
    b.I32(p, 2).I32(p + 4, 32).I32(p + 8 + 16, 1).I32(p + 40, 1).I32(p + 40 + 16, 1);
    p += 72;
    b.I32(p, 2).I32(p + 4, 8).Text(p + 8, "ALPHA").Text(p + 16, "BRAVO");
    airport.Finish();

    AirspaceFile airspaces(0x1000);
    at.airspaceGroupBlock = 0x1000 + 16;
    airspaces.Record([&] {
        airspaces.Name("ZSE");
        airspaces.Frequency(0x01283500, "Seattle Center");
        airspaces.Rectangle(kRaw45Degrees, 0, kRaw45Degrees + 100000, 1 << 24);
        airspaces.Start(kRaw45Degrees, 0, -1, -1);
        airspaces.Point(0x12001, kRaw45Degrees + 100000, 1 << 24);
    });
    airspaces.Record([&] {
        airspaces.Name("SEA");
        airspaces.Circle(10, 0, 10000);
    });
    airspaces.Finish();
    const std::vector<std::uint8_t>& head = airport.bytes.Bytes();
    for (std::size_t i = 0; i < head.size(); ++i) airspaces.bytes.Byte(static_cast<std::int64_t>(i), head[i]);
    airspaces.bytes.I32(164, 0x1000);
    if (layout) *layout = at;
    return airspaces.bytes.Bytes();
}

SceneryBuffer BufferOf(std::vector<std::uint8_t> bytes) {
    return SceneryBuffer(std::move(bytes), "damaged.bgl");
}

// A state that already holds what one earlier file added.
void Preload(ProgramState& state) {
    ASSERT_FALSE(testing::ParseIntoWorld(BufferOf(RichFile()), state).Malformed);
}

void ExpectSameTables(const ProgramState& state, const ProgramState& before) {
    EXPECT_EQ(state.Settings.AirportCount, before.Settings.AirportCount);
    EXPECT_EQ(state.Settings.AirspaceCount, before.Settings.AirspaceCount);
    EXPECT_TRUE(state.World.WorldAirports == before.World.WorldAirports);
    EXPECT_TRUE(state.World.WorldAirspaces == before.World.WorldAirspaces);
}

TEST(SceneryFile, DecodesBothSectionsAfterEarlierFiles) {
    ProgramState state;
    Preload(state);
    const SceneryFileOutcome outcome = testing::ParseIntoWorld(BufferOf(RichFile()), state);
    ASSERT_FALSE(outcome.Malformed) << outcome.Reason;
    EXPECT_EQ(outcome.AirportsAdded, 1);
    EXPECT_EQ(outcome.AirspacesAdded, 2);
    ASSERT_EQ(state.Settings.AirportCount, 2);
    ASSERT_EQ(state.Settings.AirspaceCount, 4);
    EXPECT_EQ(state.World.WorldAirports.size(), 3u);
    EXPECT_EQ(state.World.WorldAirspaces.size(), 5u);
    const AirportRecord& airport = state.World.WorldAirports[1];
    EXPECT_EQ(airport.IcaoId, "KRCH");
    EXPECT_EQ(airport.IlsCount, 1);
    EXPECT_EQ(airport.Parkings[0].Label, "GATE A 4");
    EXPECT_EQ(airport.TaxiSegments[1].Label, "Runway 9L");
    EXPECT_EQ(airport.TaxiSegments[0].Label, "ALPHA");
    EXPECT_EQ(state.World.WorldAirspaces[2].ClassText, "ARTCC/FIR (HIGH)");
    EXPECT_EQ(state.World.WorldAirspaces[3].ClassText, "Airspace Class B");
}

TEST(SceneryFile, SectionFlagOtherThanOneMeansNothingToRead) {
    std::vector<std::uint8_t> bytes = RichFile();
    bytes[144] = 2;
    ProgramState state;
    const SceneryFileOutcome outcome = testing::ParseIntoWorld(BufferOf(bytes), state);
    EXPECT_FALSE(outcome.Malformed);
    EXPECT_EQ(outcome.AirportsAdded, 0);
    EXPECT_EQ(state.Settings.AirportCount, 0);
    EXPECT_EQ(state.Settings.AirspaceCount, 0);
}

TEST(SceneryFile, DamagedFilesAreRefusedWholeAndNamed) {
    RichLayout at;
    const std::vector<std::uint8_t> good = RichFile(&at);
    struct Damage {
        const char* what;
        std::function<void(SceneryBytes&)> apply;
        const char* reason;
    };
    const Damage damages[] = {
        {"cut inside the airspace section, after the airports were added",
         [](SceneryBytes& b) { b.Resize(0x1000 + 40); }, "a read at offset"},
        {"too short for the section offsets", [](SceneryBytes& b) { b.Resize(150); },
         "lies outside the file"},
        {"huge directory count", [](SceneryBytes& b) { b.I32(0x100 + 20, 99999); },
         "airport directory at offset 256 announces 99999 entries"},
        {"directory entry that does not move on", [](SceneryBytes& b) { b.I32(0x118 + 4, -8); },
         "airport directory entry at offset 280 has body length -8"},
        {"airport sub-record that walks backwards",
         [&](SceneryBytes& b) { b.I32(at.referenceRecord + 4, -40); }, "does not lead forward"},
        {"airspace group block that does not move on",
         [&](SceneryBytes& b) { b.I32(at.airspaceGroupBlock + 4, -8); }, "airspace group block"},
        {"huge taxi point count", [&](SceneryBytes& b) { b.I32(at.taxiPointBlock, 0x10000000); },
         "taxiway block"},
        {"elevation that fits no integer", [&](SceneryBytes& b) { b.I32(at.runwayRecord + 28, 0x7FFFFFFF); },
         "out of range"},
        {"airport record past the end", [](SceneryBytes& b) { b.I32(0x118 + 12, 0x7FFFFFF0); },
         "lies outside the file"},
    };
    for (const Damage& damage : damages) {
        SceneryBytes bytes;
        bytes.Bytes() = good;
        damage.apply(bytes);
        ProgramState state;
        Preload(state);
        ProgramState before;
        Preload(before);
        const SceneryFileOutcome outcome = testing::ParseIntoWorld(bytes.Buffer(), state);
        EXPECT_TRUE(outcome.Malformed) << damage.what;
        EXPECT_NE(outcome.Reason.find(damage.reason), std::string::npos)
            << damage.what << ": " << outcome.Reason;
        EXPECT_EQ(outcome.AirportsAdded, 0);
        EXPECT_EQ(outcome.AirspacesAdded, 0);
        ExpectSameTables(state, before);
    }
}

// `airports` directory entries that all point at one airport record made of
// `runways` empty runway records, padded to `size` bytes so that reading the
// record again and again stays within what the file may decode.
std::vector<std::uint8_t> RepeatedRunways(std::int64_t airports, std::int64_t runways, std::size_t size) {
    SceneryBytes b = SceneryBytes::File(0x100, 0);
    const std::int64_t entries = 0x100 + 24;
    const std::int64_t record = entries + 16 * airports + 8;
    b.Header(0x100, 0x30001, 16 + 16 * airports).I32(0x100 + 20, airports - 1);
    for (std::int64_t i = 0; i < airports; ++i) {
        b.Header(entries + 16 * i, 0x30002, 8)
            .I32(entries + 16 * i + 8, 0x50001)
            .I32(entries + 16 * i + 12, record);
    }
    b.Header(record - 8, 0, 0).I32(record, 1).I32(record + 8, 1);
    for (std::int64_t i = 0; i < runways; ++i) b.Header(record + 16 + 8 * i, 0x10002, 0);
    b.Header(record + 16 + 8 * runways, 0x7777, 0);
    b.Resize(std::max<std::size_t>(size, static_cast<std::size_t>(record + 8 * runways + 128)));
    return b.Bytes();
}

TEST(SceneryFile, TextsAndCountsBeyondTheirLimitsRefuseTheFile) {
    const auto parse = [](const SceneryBuffer& buffer) {
        ProgramState state;
        const SceneryFileOutcome outcome = testing::ParseIntoWorld(buffer, state);
        EXPECT_EQ(state.Settings.AirportCount, outcome.AirportsAdded);
        return outcome;
    };
    // The databases store a text's length in 16 bits.
    AirportFile longest;
    longest.Identifier(std::string(65535, 'k'));
    EXPECT_FALSE(parse(longest.Finish()).Malformed);
    AirportFile tooLong;
    tooLong.Identifier(std::string(65536, 'k'));
    const SceneryFileOutcome identifier = parse(tooLong.Finish());
    EXPECT_TRUE(identifier.Malformed);
    EXPECT_NE(identifier.Reason.find("65535"), std::string::npos) << identifier.Reason;
    AirspaceFile unit;
    unit.Record([&] { unit.Frequency(0x01283500, std::string(70000, 'C')); });
    EXPECT_TRUE(parse(unit.Finish()).Malformed);

    const std::int64_t perAirport = kMaxRunwaysPerAirport;
    EXPECT_FALSE(parse(BufferOf(RepeatedRunways(1, perAirport, 0))).Malformed);
    const SceneryFileOutcome runways = parse(BufferOf(RepeatedRunways(1, perAirport + 1, 0)));
    EXPECT_TRUE(runways.Malformed);
    EXPECT_NE(runways.Reason.find("runways"), std::string::npos) << runways.Reason;
    const std::int64_t airports = kMaxRunwaysPerFile / perAirport + 1;
    const SceneryFileOutcome file = parse(BufferOf(RepeatedRunways(airports, perAirport, 300000)));
    EXPECT_TRUE(file.Malformed);
    EXPECT_NE(file.Reason.find("runways"), std::string::npos) << file.Reason;

    AirspaceFile points;
    points.Record([&] {
        for (std::int64_t i = 0; i <= kMaxBoundaryPointsPerAirspace; ++i) points.Sub(0x12001, 16);
    });
    const SceneryFileOutcome boundary = parse(points.Finish());
    EXPECT_TRUE(boundary.Malformed);
    EXPECT_NE(boundary.Reason.find("boundary points"), std::string::npos) << boundary.Reason;
}

// `sections` section blocks of 24 bytes, each holding a group whose walk runs
// on through all later section blocks and then through `records` airspace
// records: every group reaches every record.
std::vector<std::uint8_t> ConvergingGroups(int sections, int records) {
    SceneryBytes b = SceneryBytes::File(0, 0x100);
    std::int64_t at = 0x100;
    for (int i = 0; i < sections; ++i, at += 24) {
        b.Header(at, 1, 16).I32(at + 8, 4).Header(at + 16, 1, 0);
    }
    for (int i = 0; i < records; ++i, at += 56) {
        b.Header(at, 1, 48).I32(at + 8, 5);
        b.Header(at + 16, 0x12002, 24).I32(at + 44, 10000);
        b.Header(at + 48, 0x7777, 0);
    }
    b.Header(at, 0, 0);
    return b.Bytes();
}

TEST(SceneryFile, ChainsThatRunIntoEachOtherAreRefused) {
    ProgramState state;
    const SceneryFileOutcome twice = testing::ParseIntoWorld(BufferOf(ConvergingGroups(2, 150)), state);
    ASSERT_FALSE(twice.Malformed) << twice.Reason;
    EXPECT_EQ(state.Settings.AirspaceCount, 300) << "a little repetition is still decoded as it comes";

    ProgramState fresh;
    const SceneryFileOutcome many = testing::ParseIntoWorld(BufferOf(ConvergingGroups(150, 150)), fresh);
    EXPECT_TRUE(many.Malformed);
    EXPECT_NE(many.Reason.find("run into each other"), std::string::npos) << many.Reason;
    EXPECT_EQ(fresh.Settings.AirspaceCount, 0);
    EXPECT_EQ(fresh.World.WorldAirspaces.size(), 1u);
}

// Random damage to a good file: whatever happens, the parser neither throws
// nor crashes, and it either decodes the file or leaves the tables untouched.
TEST(SceneryFile, RandomDamageNeverCrashesOrHalfAdds) {
    const std::vector<std::uint8_t> good = RichFile();
    ProgramState base;
    Preload(base);
    const std::int32_t interesting[] = {
        0,       1,      -1,   -8, -16, 4, 5, 8, 12, 20, 32, 0x30001, 0x30002, 0x7FFFFFFF, -2147483647 - 1,
        0x10000, 0x1000, 0x100};
    std::mt19937 random(20261207);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        SceneryBytes bytes;
        bytes.Bytes() = good;
        const int changes = 1 + static_cast<int>(random() % 3);
        for (int c = 0; c < changes; ++c) {
            const auto offset = static_cast<std::int64_t>(random() % bytes.Size());
            switch (random() % 4) {
                case 0:
                    bytes.Byte(offset, static_cast<std::uint8_t>(random()));
                    break;
                case 1:
                case 2:
                    bytes.I32(offset & ~3, interesting[random() % std::size(interesting)]);
                    break;
                default:
                    bytes.Resize(static_cast<std::size_t>(offset));
                    break;
            }
            if (bytes.Size() == 0) break;
        }
        ProgramState state;
        state.World.WorldAirports = base.World.WorldAirports;
        state.World.WorldAirspaces = base.World.WorldAirspaces;
        state.Settings.AirportCount = base.Settings.AirportCount;
        state.Settings.AirspaceCount = base.Settings.AirspaceCount;
        SceneryFileOutcome outcome;
        ASSERT_NO_THROW(outcome = testing::ParseIntoWorld(bytes.Buffer(), state)) << "round " << round;
        if (outcome.Malformed) {
            ++refused;
            ASSERT_FALSE(outcome.Reason.empty());
            ExpectSameTables(state, base);
        } else {
            ASSERT_EQ(state.Settings.AirportCount, base.Settings.AirportCount + outcome.AirportsAdded);
            ASSERT_EQ(state.Settings.AirspaceCount, base.Settings.AirspaceCount + outcome.AirspacesAdded);
            ASSERT_EQ(state.World.WorldAirports.size(),
                      static_cast<std::size_t>(state.Settings.AirportCount) + 1);
            ASSERT_EQ(state.World.WorldAirspaces.size(),
                      static_cast<std::size_t>(state.Settings.AirspaceCount) + 1);
            ASSERT_EQ(state.World.WorldAirports.back(), AirportRecord{});
            ASSERT_EQ(state.World.WorldAirspaces.back(), AirspaceRecord{});
        }
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(refused, 300) << "the damage should often be caught";
    EXPECT_LT(refused, 2900) << "and often be harmless";
}

}  // namespace
}  // namespace tarnwick
