#include "scenery/database_build.h"

#include <gtest/gtest.h>

#include "scenery/database_file.h"
#include "state/program_state.h"
#include "state/settings.h"
#include "state/work_folder.h"
#include "support/fs_folder_fixture.h"
#include "support/next_start.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::AirportFileBytes;
using testing::NonSceneryBytes;
using testing::TempFolder;
using testing::WriteFile;

class DatabaseBuildTest : public ::testing::Test {
   protected:
    DatabaseBuildTest() {
        state.Settings.WorkFolder = work.String();
        state.Settings.RebuildPending = true;
        state.Settings.FsVersion = 1;
        state.Settings.FsFolder = (fs.Path() / "FS2002").string();
        state.Settings.Record.ProgramTitle = kSettingsFileTitle;
        state.Settings.Record.SetupDone = 1;
        state.Settings.Record.FsVersion = 1;
        state.Settings.Record.FsFolder = state.Settings.FsFolder;
    }

    fs::path Root() const { return fs.Path() / "FS2002"; }

    // Runs the scan to its end, checking the progress bar on the way.
    std::vector<BuildStep> Scan(DatabaseBuild& build) {
        std::vector<BuildStep> steps;
        for (int guard = 0; guard < 10000; ++guard) {
            const BuildStep step = build.Step();
            EXPECT_LT(build.ProgressValue(), build.ProgressMax());
            if (step == BuildStep::ScanFinished) return steps;
            steps.push_back(step);
        }
        ADD_FAILURE() << "the scan does not end";
        return steps;
    }

    // The identifiers in the airports database written by Finish.
    std::vector<std::string> AirportIds() const {
        const auto read = ReadAirportDatabase(WorkFile(state.Settings.WorkFolder, kAirportsFileName),
                                              state.Settings.AirportCount);
        EXPECT_FALSE(read.Damaged) << read.Problem;
        std::vector<std::string> ids;
        for (std::int32_t i = 0; i < read.Count(); ++i)
            ids.push_back(read.Entries[static_cast<std::size_t>(i)].IcaoId);
        return ids;
    }

    TempFolder fs, work;
    ProgramState state;
};

TEST_F(DatabaseBuildTest, AreasWithoutFoldersAreSteppedOverOneByOneAndGiveEmptyDatabases) {
    testing::WriteFsFolder(
        Root(), "[Area.1]\r\nLocal=Gone\r\n[Area.2]\r\nLocal = World\r\n[Area.3]\r\nTitle=none\r\n");
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    std::vector<std::string> statuses;
    build.SetStatusListener([&](const std::string& text) { statuses.push_back(text); });
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    EXPECT_EQ(statuses, (std::vector<std::string>{kStatusMagdec, kStatusSceneryCfg, kStatusDone}));
    EXPECT_EQ(build.ProgressMax(), 1);
    EXPECT_EQ(build.Summary().AreasSkipped, 3);

    EXPECT_EQ(Scan(build), std::vector<BuildStep>(3, BuildStep::AreaSkipped));
    statuses.clear();
    build.Finish();
    EXPECT_EQ(statuses,
              (std::vector<std::string>{kStatusAirports, kStatusAirspaces, kStatusSettings, kStatusDone}));

    EXPECT_EQ(fs::file_size(WorkFile(state.Settings.WorkFolder, kAirportsFileName)), 64u);
    EXPECT_EQ(fs::file_size(WorkFile(state.Settings.WorkFolder, kAirspacesFileName)), 70u);
    const SettingsRecord settings =
        ReadSettingsFile(WorkFile(state.Settings.WorkFolder, kSettingsFileName)).Record;
    EXPECT_EQ(settings.AirportCount, 0);
    EXPECT_EQ(settings.FsFolder, state.Settings.FsFolder);
    EXPECT_FALSE(state.Settings.RebuildPending);
}

TEST_F(DatabaseBuildTest, AddOnAreasNamedByDriveLettersAreScannedFromTheSimulatorsPrefix) {
    const fs::path prefix = testing::MakeWinePrefix(fs.Path() / "prefix");
    const fs::path root = prefix / "drive_c" / "FS2002";
    state.Settings.FsFolder = root.string();
    testing::WriteFsFolder(root,
                           "[Area.1]\r\nTitle=World\r\nLocal=Scenery\\World\r\n"
                           "[Area.2]\r\nTitle=Field\r\nLocal=C:\\Addons\\Field\r\n"
                           "[Area.3]\r\nTitle=Disc\r\nLocal=D:\\Scenery\r\n");
    WriteFile(root, "Scenery/World/Scenery/a.bgl", AirportFileBytes({{"Alpha", "kaaa", 47, -122}}));
    WriteFile(prefix / "drive_c", "addons/FIELD/Scenery/f.bgl",
              AirportFileBytes({{"Field", "kfff", 48, -122}}));
    DatabaseBuild build(state.Settings, *state.Declination, work.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    EXPECT_EQ(build.Summary().AreasUsed, 2);
    EXPECT_EQ(build.Summary().AreasSkipped, 1);
    ASSERT_EQ(build.Summary().SkippedAreas.size(), 1u);
    EXPECT_EQ(DescribeSkippedArea(build.Summary().SkippedAreas[0]),
              "\"Disc\" (D:\\Scenery): the Wine prefix " + prefix.string() + " has no drive D:");
    Scan(build);
    EXPECT_EQ(build.CurrentFile(), "c:\\addons\\field\\scenery\\f.bgl");
    build.Finish();
    EXPECT_EQ(AirportIds(), (std::vector<std::string>{"KAAA", "KFFF"}));
}

TEST_F(DatabaseBuildTest, FilesAreScannedInAreaOrderThenNameOrderAndOnlyScenerySticks) {
    testing::WriteFsFolder(Root(),
                           "[Area.1]\r\nTitle=World\r\nLocal=Scenery\\World\r\n"
                           "[Area.2]\r\nTitle=Addon\r\nLocal=addon\\\r\n");
    WriteFile(Root(), "Scenery/World/Scenery/b.BGL", AirportFileBytes({{"Bravo", "kbbb", 47.5, -122.3}}));
    WriteFile(Root(), "Scenery/World/Scenery/A.bgl",
              AirportFileBytes({{"Alpha One", "kaa1", 47.0, -122.0}, {"Alpha Two", "kaa2", 47.1, -122.1}}));
    WriteFile(Root(), "Scenery/World/Scenery/TERRAIN.BGL", NonSceneryBytes());
    WriteFile(Root(), "Scenery/World/Scenery/tiny.bgl", {0x21, 0x43});
    WriteFile(Root(), "Scenery/World/Scenery/readme.txt", AirportFileBytes({{"Not listed", "knot", 1, 1}}));
    WriteFile(Root(), "ADDON/Scenery/0.bgl", AirportFileBytes({{"Addon", "kccc", 48.0, -121.0}}));

    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    EXPECT_EQ(build.Summary().FilesCounted, 5);
    EXPECT_EQ(build.ProgressMax(), 6);

    const std::vector<BuildStep> steps = Scan(build);
    EXPECT_EQ(steps,
              (std::vector<BuildStep>{BuildStep::FileScanned, BuildStep::FileScanned, BuildStep::FileScanned,
                                      BuildStep::FileScanned, BuildStep::AreaDone, BuildStep::FileScanned,
                                      BuildStep::AreaDone}));
    EXPECT_EQ(build.ProgressValue(), 5);
    EXPECT_EQ(state.Settings.AirportCount, 4);
    // Each file's records went to the database; the tables keep their empty slot only.
    EXPECT_EQ(state.World.WorldAirports.size(), 1u);
    EXPECT_EQ(build.Summary().FilesAccepted, 3);  // terrain and a 2-byte file are not scenery
    EXPECT_EQ(build.Summary().MalformedCount, 0);
    // "addon\" keeps its separator: the texts that tell folders apart are built as written.
    EXPECT_EQ(build.CurrentFile(), LCaseAnsi(state.Settings.FsFolder) + "\\addon\\\\scenery\\0.bgl");

    EXPECT_FALSE(fs::exists(WorkFile(state.Settings.WorkFolder, kAirportsFileName)));  // not before Finish
    build.Finish();
    EXPECT_EQ(state.Settings.AirportCount, 4);
    EXPECT_EQ(AirportIds(), (std::vector<std::string>{"KAA1", "KAA2", "KBBB", "KCCC"}));
    EXPECT_EQ(state.World.WorldAirports, std::vector<AirportRecord>(1));
    EXPECT_EQ(ReadSettingsFile(WorkFile(state.Settings.WorkFolder, kSettingsFileName)).Record.AirportCount,
              4);
}

TEST_F(DatabaseBuildTest, AreasSharingAFolderScanItOnceWhenTheyFollowEachOther) {
    testing::WriteFsFolder(Root(),
                           "[Area.1]\r\nLocal=Shared\r\n[Area.2]\r\nLocal=shared\\scenery\r\n"
                           "[Area.3]\r\nLocal=Other\r\n[Area.4]\r\nLocal=SHARED\r\n");
    WriteFile(Root(), "Shared/scenery/one.bgl", AirportFileBytes({{"One", "k001", 10, 10}}));
    WriteFile(Root(), "Shared/scenery/two.bgl", AirportFileBytes({{"Two", "k002", 11, 11}}));
    WriteFile(Root(), "Other/scenery/three.bgl", AirportFileBytes({{"Three", "k003", 12, 12}}));

    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    EXPECT_EQ(build.Summary().FilesCounted, 7);  // every area's files are counted
    Scan(build);
    EXPECT_EQ(build.ProgressValue(), 5);
    build.Finish();
    // The second area finds the listing of the first exhausted; the fourth
    // follows another folder and lists the shared one again.
    EXPECT_EQ(AirportIds(), (std::vector<std::string>{"K001", "K002", "K003", "K001", "K002"}));
}

TEST_F(DatabaseBuildTest, DamagedFilesAreSkippedNamedAndLeaveNothingBehind) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    const std::vector<std::uint8_t> good = AirportFileBytes({{"Good", "kgoo", 1, 1}});
    std::vector<std::uint8_t> truncated = AirportFileBytes({{"Cut", "kcut", 2, 2}, {"Short", "ksho", 3, 3}});
    truncated.resize(truncated.size() - 20);
    std::vector<std::uint8_t> huge = AirportFileBytes({{"Huge", "khug", 4, 4}});
    huge[200 + 20] = 0xFF;  // the directory announces a vast number of entries
    huge[200 + 21] = 0xFF;
    huge[200 + 22] = 0xFF;
    huge[200 + 23] = 0x0F;
    std::vector<std::uint8_t> looping = AirportFileBytes({{"Loop", "kloo", 5, 5}});
    looping[200 + 4] = 0xF8;  // body length -8: the next block is this one again
    looping[200 + 5] = 0xFF;
    looping[200 + 6] = 0xFF;
    looping[200 + 7] = 0xFF;
    WriteFile(Root(), "World/scenery/a_truncated.bgl", truncated);
    WriteFile(Root(), "World/scenery/b_good.bgl", good);
    WriteFile(Root(), "World/scenery/c_huge.bgl", huge);
    WriteFile(Root(), "World/scenery/d_looping.bgl", looping);
    for (int i = 0; i < 6; ++i)
        WriteFile(Root(), "World/scenery/e_cut" + std::to_string(i) + ".bgl",
                  std::vector<std::uint8_t>(good.begin(), good.begin() + 130));

    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    Scan(build);
    build.Finish();
    EXPECT_EQ(AirportIds(), std::vector<std::string>{"KGOO"});
    const BuildSummary& summary = build.Summary();
    EXPECT_EQ(summary.FilesScanned, 10);
    EXPECT_EQ(summary.MalformedCount, 9);
    ASSERT_EQ(summary.Malformed.size(), kMalformedKept);
    EXPECT_EQ(fs::path(summary.Malformed[0].Path).filename(), "a_truncated.bgl");
    EXPECT_EQ(fs::path(summary.Malformed[1].Path).filename(), "c_huge.bgl");
    EXPECT_EQ(fs::path(summary.Malformed[2].Path).filename(), "d_looping.bgl");
    for (const auto& skipped : summary.Malformed) EXPECT_FALSE(skipped.Reason.empty());

    const std::string message = CompletionMessage(summary);
    EXPECT_EQ(
        message.rfind(
            "The creation process, of the database files, was completed!\n\n9 scenery files were skipped", 0),
        0u);
    EXPECT_NE(message.find("a_truncated.bgl: "), std::string::npos);
    EXPECT_NE(message.find("... and 4 more"), std::string::npos);
    EXPECT_EQ(CompletionMessage(BuildSummary{}),
              "The creation process, of the database files, was completed!");
}

TEST_F(DatabaseBuildTest, AFileWithATextTooLongToStoreIsSkippedAndTheBuildGoesOn) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "World/scenery/a.bgl", AirportFileBytes({{"Long", std::string(70000, 'k'), 1, 1}}));
    WriteFile(Root(), "World/scenery/b.bgl", AirportFileBytes({{"Good", "kgoo", 1, 1}}));
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    Scan(build);
    build.Finish();
    EXPECT_EQ(AirportIds(), std::vector<std::string>{"KGOO"});
    EXPECT_EQ(build.Summary().MalformedCount, 1);
}

TEST_F(DatabaseBuildTest, MissingOrShortInputFilesStopTheBuildBeforeAnythingIsWritten) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    auto expectFailure = [&](const std::string& mention) {
        DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
        try {
            build.Prepare();
            ADD_FAILURE() << "no failure for " << mention;
        } catch (const BuildError& failure) {
            EXPECT_NE(std::string(failure.what()).find(mention), std::string::npos) << failure.what();
        }
        EXPECT_TRUE(fs::is_empty(work.Path()));
    };

    fs::remove(Root() / "SCENERY.CFG");
    expectFailure("scenery.cfg");
    EXPECT_FALSE(fs::exists(Root() / "scenery.cfg"));  // never created by the attempt

    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "Scenery/magdec.bgl", std::vector<std::uint8_t>(112));
    expectFailure("magdec.bgl");
    fs::remove(Root() / "Scenery" / "magdec.bgl");
    expectFailure("magdec.bgl");
    EXPECT_FALSE(fs::exists(Root() / "Scenery" / "magdec.bgl"));
}

TEST_F(DatabaseBuildTest, WithoutAPendingRebuildOnlyTheDeclinationIsLoaded) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    fs::remove(Root() / "SCENERY.CFG");
    state.Settings.RebuildPending = false;
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    EXPECT_EQ(build.Prepare(), PrepareResult::Waiting);
    EXPECT_EQ((*state.Declination).Cells[DeclinationGrid::IndexOf(47, 238)], 1820);
}

TEST_F(DatabaseBuildTest, AnotherSimulatorVersionReadsNoConfiguration) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "World/scenery/a.bgl", AirportFileBytes({{"A", "kaaa", 1, 1}}));
    state.Settings.FsVersion = 0;
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    EXPECT_EQ(build.Areas().AreaCount, 0);
    EXPECT_TRUE(Scan(build).empty());
}

TEST_F(DatabaseBuildTest, AnAbandonedBuildLeavesNothingInTheWorkFolder) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "World/scenery/a.bgl", AirportFileBytes({{"A", "kaaa", 1, 1}}));
    WriteFile(Root(), "World/scenery/b.bgl", AirportFileBytes({{"B", "kbbb", 1, 1}}));
    {
        DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
        ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
        EXPECT_EQ(build.Step(), BuildStep::FileScanned);
        EXPECT_FALSE(fs::is_empty(work.Path()));  // the databases are being written
    }
    EXPECT_TRUE(fs::is_empty(work.Path()));
}

TEST_F(DatabaseBuildTest, AtEveryMomentOfARebuildTheNextStartFindsAWholeSetOrBuildsAgain) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "World/scenery/a.bgl", AirportFileBytes({{"A", "kaaa", 1, 1}}));
    {
        DatabaseBuild earlier(state.Settings, *state.Declination, fs.Path());
        ASSERT_EQ(earlier.Prepare(), PrepareResult::Ready);
        Scan(earlier);
        earlier.Finish();
    }
    WriteFile(Root(), "World/scenery/b.bgl", AirportFileBytes({{"B", "kbbb", 2, 2}, {"C", "kccc", 3, 3}}));
    state.Settings.RebuildPending = true;
    // A kill at any of these moments leaves the folder as it is then.
    int moment = 0;
    const auto check = [&] {
        EXPECT_TRUE(testing::NextStartRecognises(work.Path())) << "moment " << ++moment;
    };
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    build.SetStatusListener([&](const std::string&) { check(); });
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    while (build.Step() != BuildStep::ScanFinished) check();
    build.Finish();
    check();
    EXPECT_EQ(AirportIds(), (std::vector<std::string>{"KAAA", "KBBB", "KCCC"}));
}

TEST_F(DatabaseBuildTest, AFailedWriteLeavesNoDatabaseBehind) {
    testing::WriteFsFolder(Root(), "[Area.1]\r\nLocal=World\r\n");
    WriteFile(Root(), "World/scenery/a.bgl", AirportFileBytes({{"A", "kaaa", 1, 1}}));
    DatabaseBuild build(state.Settings, *state.Declination, fs.Path());
    ASSERT_EQ(build.Prepare(), PrepareResult::Ready);
    Scan(build);
    // The settings file cannot be written: a folder stands in its place.
    fs::create_directory(WorkFile(state.Settings.WorkFolder, kSettingsFileName));
    EXPECT_THROW(build.Finish(), BuildError);
    EXPECT_TRUE(state.Settings.RebuildPending);
    // Neither the databases nor their pieces are left.
    fs::remove(WorkFile(state.Settings.WorkFolder, kSettingsFileName));
    EXPECT_TRUE(fs::is_empty(work.Path()));
}

}  // namespace
}  // namespace tarnwick
