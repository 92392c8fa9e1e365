#include <gtest/gtest.h>

#include "base/file_system.h"
#include "scenery/database_file.h"
#include "selection/choice_lists.h"
#include "selection/database_loading.h"
#include "selection/declination_step.h"
#include "selection/world_loading.h"
#include "selection_fixture.h"

namespace tarnwick {
namespace {

using testing::WorkFolderFixture;

bool Mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(LoadDatabases, FillsTheWorldTablesWithTheLastSlotEmpty) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces());
    ProgramState state;
    fixture.PrepareState(state);
    EXPECT_TRUE(LoadAirports(SelectionOf(state)).Ok);
    EXPECT_TRUE(LoadAirspaces(SelectionOf(state)).Ok);
    ASSERT_EQ(state.World.WorldAirports.size(), 5u);
    EXPECT_EQ(state.World.WorldAirports[3].IcaoId, "CYVR");
    EXPECT_EQ(state.World.WorldAirports[4], AirportRecord{});
    ASSERT_EQ(state.World.WorldAirspaces.size(), 5u);
    EXPECT_EQ(SectorListNames(SelectionOf(state)),
              (std::vector<std::string>{"SEATTLE CENTER", "VANCOUVER FIR"}));
}

TEST(LoadDatabases, EmptyDatabaseGivesOneEmptySlotAndNoEntries) {
    const WorkFolderFixture fixture({}, {});
    ProgramState state;
    fixture.PrepareState(state);
    EXPECT_TRUE(LoadAirports(SelectionOf(state)).Ok);
    EXPECT_TRUE(LoadAirspaces(SelectionOf(state)).Ok);
    EXPECT_EQ(state.World.WorldAirports.size(), 1u);
    EXPECT_TRUE(AirportListTexts(SelectionOf(state)).empty());
    EXPECT_TRUE(SectorListNames(SelectionOf(state)).empty());
}

TEST(LoadDatabases, ShortFileWarnsNamingItAndListsWhatWasRead) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces());
    // Cut the airports file inside the third airport.
    const auto path = fixture.Folder.Path() / kAirportsFileName;
    const std::vector<std::uint8_t> whole = ReadWholeFile(path);
    const auto airportsWritten = testing::SeattleAirports();
    const std::size_t firstTwo = EncodeAirports(std::span(airportsWritten.data(), 2)).size();
    fixture.Folder.Write(
        kAirportsFileName,
        std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(firstTwo + 10)));
    ProgramState state;
    fixture.PrepareState(state);
    const LoadStepResult airports = LoadAirports(SelectionOf(state));
    EXPECT_FALSE(airports.Ok);
    EXPECT_TRUE(Mentions(airports.Warning, "world_airports.dat")) << airports.Warning;
    EXPECT_FALSE(Mentions(airports.Warning, "Create new database files")) << "no such menu yet";
    EXPECT_EQ(state.Settings.AirportCount, 4) << "the count keeps the settings' value";
    const auto texts = AirportListTexts(SelectionOf(state));
    ASSERT_GE(texts.size(), 2u);
    EXPECT_LE(texts.size(), 3u) << "nothing is listed past what the file held";
    EXPECT_EQ(texts[0], "Seattle-Tacoma Intl  (KSEA)");
    EXPECT_EQ(texts[1], "Boeing Field  (KBFI)");
    // The rest of the loading goes on.
    EXPECT_TRUE(LoadAirspaces(SelectionOf(state)).Ok);
}

TEST(LoadDatabases, MissingFileWarnsNamingItAndLeavesAnEmptyTable) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces());
    std::filesystem::remove(fixture.Folder.Path() / kAirspacesFileName);
    ProgramState state;
    fixture.PrepareState(state);
    const LoadStepResult airspaces = LoadAirspaces(SelectionOf(state));
    EXPECT_FALSE(airspaces.Ok);
    EXPECT_TRUE(Mentions(airspaces.Warning, (fixture.Folder.Path() / kAirspacesFileName).string()))
        << airspaces.Warning;
    EXPECT_FALSE(Mentions(airspaces.Warning, "Create new database files"));
    EXPECT_EQ(state.World.WorldAirspaces.size(), 1u);
    EXPECT_TRUE(SectorListNames(SelectionOf(state)).empty());
}

TEST(LoadWorld, SeveralProblemsGiveOneMessageSayingWhichFilesToDelete) {
    const WorkFolderFixture fixture(testing::SeattleAirports(), testing::SeattleAirspaces(), false);
    std::filesystem::remove(fixture.Folder.Path() / kAirspacesFileName);
    ProgramState state;
    fixture.PrepareState(state);
    const std::string warning = LoadWorldTables(SelectionOf(state)).Warning;
    EXPECT_TRUE(Mentions(warning, "magdec.bgl")) << warning;
    EXPECT_TRUE(Mentions(warning, kAirspacesFileName)) << warning;
    EXPECT_FALSE(Mentions(warning, "Create new database files")) << warning;
    // One way out, told once: which files to delete from which folder.
    const std::string hint =
        "delete atc_settings.tcs, world_airports.dat and world_airspaces.dat from " + fixture.Folder.String();
    EXPECT_TRUE(Mentions(warning, hint)) << warning;
    EXPECT_EQ(warning.find("delete"), warning.rfind("delete")) << warning;
}

TEST(DeclinationStep, FillsTheGridFromTheSimulatorFolderIgnoringCase) {
    const WorkFolderFixture fixture({}, {}, true, -546);
    ProgramState state;
    fixture.PrepareState(state);
    EXPECT_TRUE(LoadDeclinationStep(SelectionOf(state)).Ok);
    EXPECT_EQ(state.Declination->Cells[DeclinationGrid::IndexOf(47, 237)], -546);
}

TEST(DeclinationStep, MissingOrShortFileLeavesTheGridAndWarnsNamingTheFile) {
    const WorkFolderFixture fixture({}, {}, false);
    ProgramState state;
    fixture.PrepareState(state);
    const LoadStepResult missing = LoadDeclinationStep(SelectionOf(state));
    EXPECT_FALSE(missing.Ok);
    EXPECT_TRUE(Mentions(missing.Warning, "magdec.bgl")) << missing.Warning;
    EXPECT_EQ(state.Declination->Cells[100], 0);

    // Offset field present, grid cut short.
    std::vector<std::uint8_t> bytes(200, 0);
    bytes[110] = 120;
    fixture.Folder.Write("fs/Scenery/magdec.bgl", bytes);
    const LoadStepResult shortFile = LoadDeclinationStep(SelectionOf(state));
    EXPECT_FALSE(shortFile.Ok);
    EXPECT_TRUE(Mentions(shortFile.Warning, "magdec.bgl")) << shortFile.Warning;
    EXPECT_EQ(state.Declination->Cells[100], 0);
}

TEST(DeclinationStep, ZeroOffsetLeavesTheGridAsItWas) {
    const WorkFolderFixture fixture({}, {}, false);
    fixture.Folder.Write("fs/Scenery/magdec.bgl", std::vector<std::uint8_t>(130500, 0));
    ProgramState state;
    fixture.PrepareState(state);
    state.Declination->Cells[7] = 42;
    EXPECT_TRUE(LoadDeclinationStep(SelectionOf(state)).Ok);
    EXPECT_EQ(state.Declination->Cells[7], 42);
}

}  // namespace
}  // namespace tarnwick
