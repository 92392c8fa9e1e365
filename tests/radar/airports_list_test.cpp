#include "radar/airports_list.h"

#include <gtest/gtest.h>

#include "radar/area_airports.h"

namespace tarnwick {
namespace {

using testing::Airport;

ChosenArea AreaOf(std::vector<AirportRecord> airports) {
    ChosenArea area;
    testing::SetAreaAirports(area, std::move(airports));
    return area;
}

TEST(AirportsList, DuplicateLinesCentreOnTheFirstAndShowEveryAirportsFrequencies) {
    const ChosenArea area =
        AreaOf({Airport("Twin Field", "KTWN", 47, -122, "118.3"), Airport("Other", "KOTH", 46, -121, "119.1"),
                Airport("Twin Field", "KTWN", 48, -123, "")});
    EXPECT_EQ(AirportsListLines(area),
              (std::vector<std::string>{"Twin Field  (KTWN)", "Other  (KOTH)", "Twin Field  (KTWN)"}));

    const std::optional<GeoPosition> target = CenterScreenTarget(area, "Twin Field  (KTWN)");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Lat, 47);
    EXPECT_EQ(target->Lon, -122);

    const std::vector<std::string> messages = FrequencyMessages(area, "Twin Field  (KTWN)");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              "Airport Name: Twin Field\r\nICAO_ID: KTWN\r\nClearance Frequency: \r\nGround Frequency: \r\n"
              "Tower Frequency: 118.3\r\nDeparture Frequency: \r\nApproach Frequency: ");
    EXPECT_NE(messages[1].find("Tower Frequency: \r\n"), std::string::npos);
}

TEST(AirportsList, AnEmptyOrShortTableListsNothingAndFindsNothing) {
    ChosenArea area;
    EXPECT_TRUE(AirportsListLines(area).empty());
    EXPECT_FALSE(CenterScreenTarget(area, "  ()"));
    EXPECT_TRUE(FrequencyMessages(area, "  ()").empty());
    area.AreaAirportCount = 5;  // more than the table holds
    EXPECT_EQ(AirportsListLines(area).size(), 1u);
    EXPECT_FALSE(CenterScreenTarget(area, "Nowhere  (XXXX)"));
}

}  // namespace
}  // namespace tarnwick
