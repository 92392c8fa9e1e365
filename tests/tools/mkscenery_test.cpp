#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/file_system.h"
#include "scenery/magdec_file.h"
#include "scenery/scenery_file.h"
#include "state/program_state.h"
#include "support/parse_into_world.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::RunTool;
using testing::TempFolder;

struct Scan {
    int SceneryFiles = 0;
    int OtherFiles = 0;
    int Malformed = 0;
};

// Reads every .bgl file below `folder` as the scan would (names ordered
// ignoring case), parsing those with the scenery marker into `state`.
Scan ParseAll(const fs::path& folder, ProgramState& state) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && UpperAscii(entry.path().extension().string()) == ".BGL")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        return UpperAscii(a.string()) < UpperAscii(b.string());
    });
    Scan scan;
    for (const fs::path& file : files) {
        const SceneryBuffer buffer = SceneryBuffer::Load(file);
        if (buffer.Size() < 122 || static_cast<std::uint32_t>(buffer.ReadI32(118)) != 0x87654321u) {
            ++scan.OtherFiles;
            continue;
        }
        ++scan.SceneryFiles;
        if (testing::ParseIntoWorld(buffer, state).Malformed) ++scan.Malformed;
    }
    return scan;
}

const AirportRecord* FindAirport(const ProgramState& state, const std::string& icao) {
    for (std::int32_t i = 0; i < state.Settings.AirportCount; ++i) {
        if (state.World.WorldAirports[static_cast<std::size_t>(i)].IcaoId == icao)
            return &state.World.WorldAirports[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

std::map<std::string, std::vector<std::uint8_t>> TreeContents(const fs::path& root) {
    std::map<std::string, std::vector<std::uint8_t>> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            tree[fs::relative(entry.path(), root).string()] = ReadWholeFile(entry.path());
    }
    return tree;
}

class DemoScenery : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        run_ = new testing::ToolRun(RunTool("tarnwick-mkscenery", {folder_->String()}));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete folder_;
    }
    static TempFolder* folder_;
    static testing::ToolRun* run_;
};
TempFolder* DemoScenery::folder_ = nullptr;
testing::ToolRun* DemoScenery::run_ = nullptr;

TEST_F(DemoScenery, FolderLooksLikeACopiedSimulatorFolder) {
    ASSERT_EQ(run_->ExitStatus, 0) << run_->Err;
    const fs::path root = folder_->Path();
    EXPECT_TRUE(fs::is_regular_file(root / "FS2002.EXE"));
    EXPECT_EQ(fs::file_size(root / "FS2002.EXE"), 0u);
    const auto cfg = ReadWholeFile(root / "SCENERY.CFG");
    const std::string text(cfg.begin(), cfg.end());
    EXPECT_NE(text.find("[Area.001]\r\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
    EXPECT_NE(text.find("Local=Addon Scenery\\Not Installed\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(root / "Addon Scenery" / "Not Installed"));

    // The declination grid gives about 14.8 degrees east at 47 N, 122 W (238 E).
    DeclinationGrid grid;
    const auto loaded = LoadDeclination(MagdecPathFor(folder_->String(), "/"), grid);
    ASSERT_TRUE(loaded.Ok) << loaded.Problem;
    EXPECT_NEAR(grid.Cells[DeclinationGrid::IndexOf(47, 238)] * 360.0 / 65536.0, 14.8, 0.1);
}

TEST_F(DemoScenery, ParsesIntoTheDemoRegion) {
    ASSERT_EQ(run_->ExitStatus, 0) << run_->Err;
    ProgramState state;
    ASSERT_TRUE(LoadDeclination(MagdecPathFor(folder_->String(), "/"), *state.Declination).Ok);
    const Scan scan = ParseAll(folder_->Path(), state);
    EXPECT_EQ(scan.Malformed, 0);
    EXPECT_EQ(scan.SceneryFiles, 7);  // six demo files and the object file with the marker
    EXPECT_EQ(scan.OtherFiles, 5);    // magdec.bgl, three terrain files, one too short

    ASSERT_EQ(state.Settings.AirportCount, 78);
    EXPECT_EQ(state.World.WorldAirports[0].IcaoId,
              "KSEA");  // source order survives the mixed-case file names
    EXPECT_EQ(state.World.WorldAirports[77].IcaoId, "KGEG");
    EXPECT_EQ(state.Settings.AirspaceCount, 10);  // the class C and D rings are left out

    const AirportRecord* sea = FindAirport(state, "KSEA");
    ASSERT_NE(sea, nullptr);
    EXPECT_EQ(sea->Name, "Seattle Tacoma Intl");
    EXPECT_NEAR(sea->Lat, 47.44750648, 1e-5);
    EXPECT_NEAR(sea->Lon, -122.31290842, 1e-6);
    EXPECT_EQ(sea->ElevationFt, 433);
    EXPECT_EQ(sea->ClearanceFreq, "128");
    EXPECT_EQ(sea->GroundFreq, "121.7");
    EXPECT_EQ(sea->TowerFreq, "119.9");
    EXPECT_EQ(sea->ApproachFreq, "119.2");  // the first of two approach frequencies
    EXPECT_EQ(sea->DepartureFreq, "");

    ASSERT_EQ(sea->RunwayCount, 3);
    const RunwayEntry& r16l = sea->Runways[0];
    EXPECT_EQ(r16l.PrimaryId, "16L");
    EXPECT_EQ(r16l.SecondaryId, "34R");
    EXPECT_EQ(sea->Runways[1].PrimaryId, "16C");
    EXPECT_EQ(sea->Runways[2].SecondaryId, "34L");
    EXPECT_NEAR(r16l.CenterLat, (47.46379733 + 47.43117533) / 2, 1e-5);
    EXPECT_EQ(r16l.LengthFt, 11893);
    EXPECT_EQ(r16l.WidthFt, 151);
    EXPECT_EQ(r16l.PrimaryMagHeading, 166);  // -179.7 true rounds to -180; 14.8 east truncates to 14
    // Drawn 60 m shorter than the real runway, symmetric around the centre.
    EXPECT_NEAR(r16l.End1Lat - r16l.End2Lat, (11893 * 0.3048 - 60) / 1852 / 60, 1e-5);

    ASSERT_EQ(sea->IlsCount, 6);
    // Each ILS follows the runway it serves: 16L's two first, then 16C's.
    EXPECT_EQ(sea->IlsList[0].IlsId, "ISNQ");
    EXPECT_EQ(sea->IlsList[1].IlsId, "ISEA");
    const IlsEntry& iszi = sea->IlsList[2];
    EXPECT_EQ(iszi.IlsId, "ISZI");
    EXPECT_EQ(iszi.Freq, "111.7");
    EXPECT_EQ(iszi.Lat, sea->Runways[1].End1Lat);  // same course as the runway: moved to its end
    EXPECT_EQ(iszi.Lon, sea->Runways[1].End1Lon);
    EXPECT_EQ(sea->IlsList[4].Freq, "110.75");

    EXPECT_EQ(sea->TaxiPointCount, 235);
    EXPECT_EQ(sea->ParkingCount, 81);
    EXPECT_EQ(sea->TaxiSegmentCount, 369);
    // Offsets come back to the published positions within the six decimals kept.
    EXPECT_NEAR(sea->TaxiPoints[0].Lat, 47.43808485, 1e-6);
    EXPECT_NEAR(sea->TaxiPoints[0].Lon, -122.31124805, 1e-6);
    EXPECT_EQ(sea->TaxiPoints[10].Kind, 2);
    EXPECT_EQ(sea->Parkings[0].Label, "GATE A 1");
    EXPECT_EQ(sea->Parkings[0].RadiusFt, 79);  // 24 m
    EXPECT_NEAR(sea->Parkings[0].Lat, 47.44221033, 1e-6);
    EXPECT_NEAR(sea->Parkings[0].Lon, -122.30213657, 1e-6);
    const auto segments = sea->TaxiSegments.Slots();
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(), [](const TaxiSegmentEntry& s) {
        return s.SegmentType == 1 && s.Label == "Runway 16C";
    }));
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(),
                            [](const TaxiSegmentEntry& s) { return s.SegmentType == 0 && s.Label == "A"; }));

    const AirportRecord* bfi = FindAirport(state, "KBFI");
    ASSERT_NE(bfi, nullptr);
    EXPECT_EQ(bfi->ParkingCount, 13);
    EXPECT_EQ(bfi->Parkings[0].Label, "PARKING 1");  // a named ramp keeps a running number

    const AirspaceRecord& classB = state.World.WorldAirspaces[0];
    EXPECT_EQ(classB.AirspaceName, "SEATTLE B SFC");
    EXPECT_EQ(classB.ClassText, "Airspace Class B");
    ASSERT_EQ(classB.PointCount, 2);
    EXPECT_EQ(classB.Points[0].Kind, 1);
    EXPECT_EQ(classB.Points[0].Lat, 47.4475);
    EXPECT_EQ(classB.Points[1].Kind, 2);
    EXPECT_EQ(classB.Points[1].Radius, 6);
    EXPECT_EQ(classB.Corner1Lat, 47.5475);
    EXPECT_EQ(classB.Corner1Lon, -122.4608);
    EXPECT_EQ(classB.Corner2Lat, 47.3475);
    EXPECT_EQ(classB.Corner2Lon, -122.165);
    const AirspaceRecord& high = state.World.WorldAirspaces[5];
    EXPECT_EQ(high.AirspaceName, "SEATTLE HIGH");
    EXPECT_EQ(high.ClassText, "ARTCC/FIR (HIGH)");
    EXPECT_EQ(high.FullName, "SEATTLE CENTER");
    EXPECT_EQ(high.FrequencyText, "128.3 Mhz");
}

TEST(SyntheticScenery, IsDeterministicPerSeedAndParses) {
    TempFolder a, b, c;
    ASSERT_EQ(RunTool("tarnwick-mkscenery", {a.String(), "--synthetic", "40", "--seed", "3"}).ExitStatus, 0);
    ASSERT_EQ(RunTool("tarnwick-mkscenery", {b.String(), "--synthetic", "40", "--seed", "3"}).ExitStatus, 0);
    ASSERT_EQ(RunTool("tarnwick-mkscenery", {c.String(), "--synthetic", "40", "--seed", "4"}).ExitStatus, 0);
    const auto treeA = TreeContents(a.Path());
    EXPECT_TRUE(treeA == TreeContents(b.Path()));
    EXPECT_FALSE(treeA == TreeContents(c.Path()));

    ProgramState state;
    const Scan scan = ParseAll(a.Path(), state);
    EXPECT_EQ(scan.Malformed, 0);
    EXPECT_EQ(state.Settings.AirportCount, 40);
    EXPECT_EQ(scan.OtherFiles, 2 * scan.SceneryFiles + 1);  // two per scenery file, and magdec.bgl
    int withTaxi = 0, withIls = 0;
    for (std::int32_t i = 0; i < state.Settings.AirportCount; ++i) {
        const AirportRecord& airport = state.World.WorldAirports[static_cast<std::size_t>(i)];
        EXPECT_GE(airport.RunwayCount, 1) << airport.IcaoId;
        withTaxi += airport.TaxiPointCount >= 100 && airport.ParkingCount >= 20 ? 1 : 0;
        withIls += airport.IlsCount > 0 ? 1 : 0;
    }
    EXPECT_EQ(withTaxi, 4);  // one in ten
    EXPECT_GE(withIls, 4);
    EXPECT_GT(state.Settings.AirspaceCount, 4);
}

TEST(MkScenery, RejectsBadArguments) {
    EXPECT_EQ(RunTool("tarnwick-mkscenery", {}).ExitStatus, 2);
    EXPECT_EQ(RunTool("tarnwick-mkscenery", {"/tmp/x", "--synthetic", "many"}).ExitStatus, 2);
    TempFolder folder;
    const auto run = RunTool("tarnwick-mkscenery", {folder.String(), "--data", "/nonexistent"});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_NE(run.Err.find("/nonexistent"), std::string::npos) << run.Err;
}

}  // namespace
}  // namespace tarnwick
