#include "state/traffic_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

std::vector<std::string> NamesOf(const TrafficTable& table) {
    std::vector<std::string> names;
    for (const PlayerRecord& entry : table.Entries()) names.push_back(entry.Name);
    return names;
}

TEST(TrafficTable, AppendingStopsCleanlyAtTheSixteenBitLimit) {
    TrafficTable table;
    for (int i = 0; i < TrafficTable::kMaxEntries; ++i) ASSERT_TRUE(table.Append("P", i + 1, kKindPlayer));
    EXPECT_EQ(table.PlayerCount(), 32767);
    EXPECT_FALSE(table.Append("Q", 99999, kKindPlayer));
    EXPECT_EQ(table.PlayerCount(), 32767);
    EXPECT_EQ(table[32766].PlayerId, 32767);
}

TEST(TrafficTable, AnEntryMatchesOnlyWhenNameAndIdBothAgree) {
    TrafficTable table;
    ASSERT_TRUE(table.Append("Bob", 7, kKindPlayer));
    EXPECT_TRUE(table.AnyMatches({"Bob", 7}));
    EXPECT_FALSE(table.AnyMatches({"bob", 7}));
    EXPECT_FALSE(table.AnyMatches({"Bob", 8}));
    int lookups = 0;
    auto nameOf = [&](std::int32_t) {
        ++lookups;
        return std::string("Bob");
    };
    EXPECT_FALSE(table.AnyMatchesSender(8, nameOf));
    EXPECT_EQ(lookups, 0) << "no entry carries id 8, so the session is not asked";
    EXPECT_TRUE(table.AnyMatchesSender(7, nameOf));
}

TEST(TrafficTable, PruneRemovesAdjacentLeaversAndKeepsTheOrderOfTheRest) {
    TrafficTable table;
    for (auto [name, id] : std::vector<std::pair<std::string, int>>{
             {"Own", 1}, {"Gone1", 2}, {"Gone2", 3}, {"Stay", 4}, {"Gone3", 5}, {"Renamed", 6}}) {
        ASSERT_TRUE(table.Append(name, id, kKindPlayer));
    }
    const std::vector<SessionMember> players = {{"Stay", 4}, {"Own", 1}, {"Other", 6}};
    EXPECT_EQ(PruneTrafficTable(table, players), 4);
    EXPECT_EQ(NamesOf(table), (std::vector<std::string>{"Own", "Stay"}));
    EXPECT_EQ(PruneTrafficTable(table, {}), 2);
    EXPECT_EQ(table.PlayerCount(), 0);
}

}  // namespace
}  // namespace tarnwick
