#include "radar/aids/traffic_list.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(TrafficList, EveryPlayerIsListedAndThoseTheScopeDoesNotShowSayWhy) {
    TrafficTable table;
    const auto add = [&](const char* name, std::int32_t id, double lat, std::int32_t altitude) {
        ASSERT_TRUE(table.Append(name, id, kKindPlayer));
        PlayerRecord& entry = table[static_cast<std::int16_t>(table.PlayerCount() - 1)];
        entry.Latitude = lat;
        entry.Longitude = lat == 0 ? 0 : -122.3;
        entry.Altitude = altitude;
    };
    add("Tower", 1, 0, 0);
    add("HIGH", 2, 47.5, 24000);
    add("LOW", 3, 47.4, 2500);
    add("NEW", 4, 0, 0);
    ChosenArea area;
    area.AreaCenterLat = 47.45;
    area.AreaCenterLon = -122.3;
    const DeclinationGrid grid;
    const MotionHistory motion;
    const auto notes = [&](std::optional<AltitudeBand> band) {
        std::vector<std::string> shown;
        for (const TrafficRow& row : TrafficRows(ScopeTraffic{table, 1, "Tower", band}, motion, area, grid))
            shown.push_back(row.Name + ": " + row.NotShown);
        return shown;
    };
    EXPECT_EQ(notes(std::nullopt),
              (std::vector<std::string>{"HIGH: ", "LOW: ", "NEW: NEW has not reported a position yet."}))
        << "the program's own left out";
    EXPECT_EQ(notes(AltitudeBand{0, 18000}),
              (std::vector<std::string>{"HIGH: HIGH is at 24000 ft, outside the altitude filter (0 to 18000 "
                                        "ft): the scope does not show it.",
                                        "LOW: ", "NEW: NEW has not reported a position yet."}));
    EXPECT_EQ(notes(AltitudeBand{3000, 30000})[1],
              "LOW: LOW is at 2500 ft, outside the altitude filter (3000 to 30000 ft): the scope does not "
              "show it.");
}

}  // namespace
}  // namespace tarnwick
