#include <gtest/gtest.h>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "selection/choice_lists.h"
#include "selection/gather_area.h"
#include "selection_fixture.h"

namespace tarnwick {
namespace {

using testing::Airport;
using testing::Artcc;
using testing::ClassB;
using testing::SetWorld;

AreaChoice AirportChoice(const std::string& text) { return {AreaChoiceKind::Airport, text}; }
AreaChoice SectorChoice(const std::string& text) { return {AreaChoiceKind::Sector, text}; }

std::vector<std::string> AreaIcaos(const ProgramState& state) {
    std::vector<std::string> icaos;
    for (std::int32_t i = 0; i < state.Area.AreaAirportCount; ++i)
        icaos.push_back(state.Area.AreaAirports[static_cast<std::size_t>(i)].IcaoId);
    return icaos;
}

std::vector<std::string> AreaAirspaceNames(const ProgramState& state) {
    std::vector<std::string> names;
    for (std::int32_t j = 0; j < state.Area.AreaAirspaceCount; ++j) {
        const AirspaceRecord& s = state.Area.AreaAirspaces[static_cast<std::size_t>(j)];
        names.push_back(s.ClassText == kTracon ? "TRACON" : s.AirspaceName);
    }
    return names;
}

TEST(GatherAirport, AreaHoldsAirportsWithinNinetyNauticalMilesInclusive) {
    ProgramState state;
    // Due north, one minute of latitude is one nautical mile on this sphere.
    SetWorld(state,
             {Airport("Home", "HOME", 10.0, 20.0), Airport("Edge", "EDGE", 11.5, 20.0),
              Airport("Beyond", "BYND", 10.0 + 91.0 / 60.0, 20.0), Airport("Near", "NEAR", 9.9, 20.1)},
             {});
    ASSERT_EQ(geo::DistanceNm(10.0, 20.0, 11.5, 20.0), 90);

    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Home  (HOME)")), GatherOutcome::Gathered);
    EXPECT_EQ(AreaIcaos(state), (std::vector<std::string>{"HOME", "EDGE", "NEAR"}));
    // Slot rule: three airports in slots 0..2 and one empty slot after them.
    ASSERT_EQ(state.Area.AreaAirportCount, 3);
    ASSERT_EQ(state.Area.AreaAirports.size(), 4u);
    EXPECT_EQ(state.Area.AreaAirports[3], AirportRecord{});
    EXPECT_EQ(state.Area.AreaTitle, "Home  (HOME)");
    EXPECT_EQ(state.Area.AreaKind, "Airport");
    EXPECT_EQ(state.Area.AreaCenterLat, 10.0);
    EXPECT_EQ(state.Area.AreaCenterLon, 20.0);
    // The world tables are released; their counts keep the settings' values.
    EXPECT_EQ(state.World.WorldAirports.size(), 1u);
    EXPECT_EQ(state.Settings.AirportCount, 4);
}

TEST(GatherAirport, LastAirportWithTheListTextWins) {
    ProgramState state;
    SetWorld(state,
             {Airport("Twin", "TWIN", 10.0, 10.0), Airport("Other", "OTHR", 40.0, 40.0),
              Airport("Twin", "TWIN", 40.5, 40.0)},
             {});
    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Twin  (TWIN)")), GatherOutcome::Gathered);
    EXPECT_EQ(state.Area.AreaCenterLat, 40.5);
    EXPECT_EQ(state.Area.AreaCenterLon, 40.0);
    EXPECT_EQ(AreaIcaos(state), (std::vector<std::string>{"OTHR", "TWIN"}));
}

TEST(GatherAirport, AirspacesMustStrictlyContainTheAirport) {
    ProgramState state;
    SetWorld(
        state, {Airport("Home", "HOME", 47.0, -122.0)},
        {ClassB("INSIDE", 47.5, 46.5, -122.5, -121.5), ClassB("SOUTH_EDGE", 47.5, 47.0, -122.5, -121.5),
         ClassB("NORTH_EDGE", 47.0, 46.5, -122.5, -121.5), ClassB("WEST_EDGE", 47.5, 46.5, -122.0, -121.5),
         ClassB("EAST_EDGE", 47.5, 46.5, -122.5, -122.0), ClassB("ELSEWHERE", 10.0, 9.0, 1.0, 2.0),
         Artcc("BIG CENTER", kArtccLow, 50.0, 40.0, -130.0, -110.0)});
    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Home  (HOME)")), GatherOutcome::Gathered);
    EXPECT_EQ(AreaAirspaceNames(state), (std::vector<std::string>{"INSIDE", "BIG "}));
}

TEST(GatherAirport, TraconOnlyWithADepartureOrApproachFrequency) {
    AirportRecord both = Airport("Both", "BOTH", 30.0, 30.0);
    both.ElevationFt = 433;
    both.DepartureFreq = "119.2";
    both.ApproachFreq = "120.4";
    both.TowerFreq = "118.3";
    AirportRecord approachOnly = Airport("Approach", "APPR", 50.0, 50.0);
    approachOnly.ApproachFreq = "124.35";
    AirportRecord towerOnly = Airport("Tower", "TOWR", 70.0, 70.0);
    towerOnly.TowerFreq = "118.3";
    towerOnly.GroundFreq = "121.9";

    ProgramState state;
    SetWorld(state, {both, approachOnly, towerOnly}, {});
    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Both  (BOTH)")), GatherOutcome::Gathered);
    ASSERT_EQ(state.Area.AreaAirspaceCount, 1);
    const AirspaceRecord& tracon = state.Area.AreaAirspaces[0];
    EXPECT_EQ(tracon.ClassText, "TRACON (Departure/Approach)");
    EXPECT_EQ(tracon.FrequencyText, "119.2 Mhz  120.4 Mhz  ");
    EXPECT_EQ(tracon.CenterLat, 30.0);
    EXPECT_EQ(tracon.CenterLon, 30.0);
    EXPECT_EQ(tracon.FromAltitude, 433);
    EXPECT_EQ(tracon.ToAltitude, 10433);
    EXPECT_TRUE(tracon.AirspaceName.empty());
    EXPECT_TRUE(tracon.FullName.empty());
    EXPECT_EQ(tracon.Corner1Lat, 0.0);
    ASSERT_EQ(tracon.PointCount, 2);
    ASSERT_EQ(tracon.Points.SlotCount(), 3u) << "grown one slot at a time, last slot empty";
    EXPECT_EQ(tracon.Points[0], (BoundaryPoint{1, 30.0, 30.0, 0}));
    EXPECT_EQ(tracon.Points[1], (BoundaryPoint{2, 0.0, 0.0, 20}));
    EXPECT_EQ(tracon.Points[2], BoundaryPoint{});
    // Only the TRACON: no ARTCC among the area's airspaces, so the low sectors show.
    EXPECT_FALSE(state.Display.DisplayHighArtcc);
    EXPECT_TRUE(state.Display.DisplayLowArtcc);

    SetWorld(state, {both, approachOnly, towerOnly}, {});
    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Approach  (APPR)")), GatherOutcome::Gathered);
    ASSERT_EQ(state.Area.AreaAirspaceCount, 1);
    EXPECT_EQ(state.Area.AreaAirspaces[0].FrequencyText, "124.35 Mhz  ");

    SetWorld(state, {both, approachOnly, towerOnly}, {});
    ASSERT_EQ(GatherArea(SelectionOf(state), AirportChoice("Tower  (TOWR)")), GatherOutcome::Gathered);
    EXPECT_EQ(state.Area.AreaAirspaceCount, 0);
    EXPECT_EQ(state.Area.AreaAirspaces.size(), 1u);
}

TEST(GatherArea, AnUnknownChoiceChangesNothing) {
    ProgramState state;
    SetWorld(state, testing::SeattleAirports(), testing::SeattleAirspaces());
    state.Area.AreaTitle = "previous";
    // Case matters: the list text is compared exactly. Class B airspaces (no FullName) are no sector.
    EXPECT_EQ(GatherArea(SelectionOf(state), AirportChoice("boeing field  (KBFI)")), GatherOutcome::NotFound);
    EXPECT_EQ(GatherArea(SelectionOf(state), SectorChoice("")), GatherOutcome::NotFound);
    EXPECT_EQ(state.Area.AreaTitle, "previous");
    EXPECT_EQ(state.World.WorldAirports.size(), 5u);
}

TEST(GatherArea, AnOverflowOnTheWayLeavesTheStateAsItWas) {
    AirportRecord high = Airport("High", "HIGH", 10.0, 10.0);
    high.ElevationFt = 2147483000;  // damaged data: the TRACON ceiling does not fit
    high.DepartureFreq = "119.2";
    ProgramState state;
    SetWorld(state, {high}, {});
    EXPECT_THROW(GatherArea(SelectionOf(state), AirportChoice("High  (HIGH)")), OverflowError);
    EXPECT_EQ(state.World.WorldAirports.size(), 2u);
    EXPECT_EQ(state.Area.AreaAirportCount, 0);
    EXPECT_TRUE(state.Area.AreaTitle.empty());
}

TEST(GatherSector, GathersTheSectorsAirportsAndEverySurroundingArtcc) {
    ProgramState state;
    SetWorld(state,
             {Airport("Inside", "INSD", 47.0, -122.0), Airport("On North Edge", "NEDG", 48.0, -122.0),
              Airport("On East Edge", "EEDG", 47.0, -120.0), Airport("Far", "FARR", 10.0, 10.0)},
             {Artcc("ALPHA FIR", kArtccLow, 48.0, 46.5, -123.0, -121.0),
              ClassB("ALPHA B", 47.5, 46.6, -122.5, -121.5),
              Artcc("ALPHA FIR", kArtccLow, 47.5, 46.0, -124.0, -120.0),
              Artcc("BRAVO FIR", kArtccHigh, 10.0, 9.0, 1.0, 2.0)});
    state.Display.DisplayHighArtcc = true;
    ASSERT_EQ(GatherArea(SelectionOf(state), SectorChoice("ALPHA FIR")), GatherOutcome::Gathered);
    EXPECT_EQ(state.Area.AreaTitle, "ALPHA FIR");
    EXPECT_EQ(state.Area.AreaKind, "ARTCC/FIR sector");
    // Rectangle N 48, S 46, W -124, E -120; its edges are outside (strict).
    EXPECT_EQ(AreaIcaos(state), (std::vector<std::string>{"INSD"}));
    // The scope gets every ARTCC/FIR of the world, not only the sector's.
    EXPECT_EQ(AreaAirspaceNames(state), (std::vector<std::string>{"ALPH", "ALPH", "BRAV"}));
    // The switches come from the sector's own airspaces (all low here).
    EXPECT_FALSE(state.Display.DisplayHighArtcc);
    EXPECT_TRUE(state.Display.DisplayLowArtcc);
    // Halfway from the north-west to the south-east corner.
    EXPECT_NEAR(state.Area.AreaCenterLat, 47.0, 0.05);
    EXPECT_NEAR(state.Area.AreaCenterLon, -122.0, 0.05);
    const geo::GeoPoint center = SectorCenter(*state.Declination, {48.0, 46.0, -124.0, -120.0});
    EXPECT_EQ(state.Area.AreaCenterLat, center.Lat);
    EXPECT_EQ(state.Area.AreaCenterLon, center.Lon);
}

TEST(GatherSector, OneHighAirspaceMakesTheSectorHigh) {
    ProgramState state;
    state.Display.DisplayLowArtcc = true;  // from an earlier choice
    SetWorld(state, {},
             {Artcc("ALPHA FIR", kArtccLow, 48.0, 46.0, -124.0, -120.0),
              Artcc("ALPHA FIR", kArtccHigh, 48.0, 46.0, -124.0, -120.0)});
    ASSERT_EQ(GatherArea(SelectionOf(state), SectorChoice("ALPHA FIR")), GatherOutcome::Gathered);
    EXPECT_TRUE(state.Display.DisplayHighArtcc);
    EXPECT_FALSE(state.Display.DisplayLowArtcc);
    EXPECT_EQ(state.Area.AreaAirportCount, 0);
}

TEST(ChoiceLists, SectorNamesOnceEachInOrderOfFirstAirspace) {
    ProgramState state;
    SetWorld(state, {},
             {ClassB("B", 1, 0, 0, 1), Artcc("ALPHA FIR", kArtccLow, 1, 0, 0, 1),
              Artcc("ALPHA FIR", kArtccHigh, 1, 0, 0, 1), Artcc("BRAVO FIR", kArtccLow, 1, 0, 0, 1),
              Artcc("alpha fir", kArtccLow, 1, 0, 0, 1), Artcc("ALPHA FIR", kArtccLow, 1, 0, 0, 1)});
    state.World.WorldAirspaces[0].FullName = "CLASS B NAME";
    EXPECT_EQ(SectorListNames(SelectionOf(state)),
              (std::vector<std::string>{"ALPHA FIR", "BRAVO FIR", "alpha fir"}));
}

TEST(ChoiceLists, TypedTextStandsForTheEqualEntryOrTheOnlyOneHoldingIt) {
    const std::vector<std::string> sectors = {"SEATTLE CENTER", "SEATTLE CENTER EAST", "Z\xDCRICH FIR"};
    EXPECT_EQ(EntryForTypedText(sectors, "SEATTLE CENTER"), 0u) << "equal wins over holding";
    EXPECT_EQ(EntryForTypedText(sectors, "east"), 1u);
    EXPECT_EQ(EntryForTypedText(sectors, "z\xFCrich"), 2u) << "accented letters in any case";
    EXPECT_EQ(EntryForTypedText(sectors, "seattle"), std::nullopt) << "two entries hold it";
    EXPECT_EQ(EntryForTypedText(sectors, "TOKYO"), std::nullopt);
    EXPECT_EQ(EntryForTypedText(sectors, ""), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
