#include <gtest/gtest.h>

#include "state/chosen_area.h"

namespace tarnwick {
namespace {

TEST(FilledPart, ACountIsReadOnlyAsFarAsItsListReachesAndNeverBelowZero) {
    AirportRecord airport;
    airport.Runways.SizeExactly(3);
    airport.Runways[0].PrimaryId = "16L";
    for (const std::int32_t count : {-5, 0}) {
        airport.RunwayCount = count;
        EXPECT_TRUE(airport.FilledRunways().empty()) << count;
    }
    airport.RunwayCount = 2;
    ASSERT_EQ(airport.FilledRunways().size(), 2u);
    EXPECT_EQ(airport.FilledRunways()[0].PrimaryId, "16L");
    airport.RunwayCount = 40;
    EXPECT_EQ(airport.FilledRunways().size(), 3u);
    EXPECT_TRUE(airport.FilledIls().empty()) << "a list never sized holds nothing";

    ChosenArea area;
    area.AreaAirportCount = 4;
    EXPECT_EQ(area.FilledAirports().size(), 1u);
    area.AreaAirspaceCount = -1;
    EXPECT_TRUE(area.FilledAirspaces().empty());
}

}  // namespace
}  // namespace tarnwick
