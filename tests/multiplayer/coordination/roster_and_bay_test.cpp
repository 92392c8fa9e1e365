#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "multiplayer/coordination/controller_roster.h"
#include "multiplayer/coordination/strip_bay.h"

namespace tarnwick::coordination {
namespace {

RosterGroup TarnwickGroup(std::int32_t id, std::int32_t machine, std::vector<std::int32_t> members) {
    return {id, std::string(kControllerGroupName), machine, std::move(members)};
}

TEST(ControllerRecognition, APlayerInATarnwickGroupOfItsOwnMachineIsAController) {
    SessionRoster roster;
    roster.Players = {{10, "Tower", 100}, {11, "N123", 101}, {12, "Approach", 102}, {13, "Own", 103}};
    roster.Groups = {
        TarnwickGroup(50, 100, {10}),
        // A pilot's machine puts a player of another machine in a group of its own.
        TarnwickGroup(51, 101, {11, 12}),
        // FS2002's own groups, and a name that is close but not the same.
        {52, "FS61_REFUSE_PARAMS", 102, {12}},
        {53, "tarnwick atc", 102, {12}},
        TarnwickGroup(54, 103, {13}),
    };
    EXPECT_EQ(RecognizeControllers(roster, 13), (std::vector<std::int32_t>{10, 11}))
        << "player 11's own machine made its group, so it counts; player 12 was put in by another machine";
    roster.Groups.push_back(TarnwickGroup(55, 102, {12}));
    EXPECT_EQ(RecognizeControllers(roster, 13), (std::vector<std::int32_t>{10, 11, 12}));
    EXPECT_EQ(RecognizeControllers(roster, 10), (std::vector<std::int32_t>{11, 12, 13})) << "never itself";

    roster.Players.erase(roster.Players.begin());
    EXPECT_EQ(RecognizeControllers(roster, 13), (std::vector<std::int32_t>{11, 12}))
        << "a group member that is no player of the session is none";
}

TEST(ControllerRecognition, AtMostThirtyTwoControllersAreKeptTheLowestIdsAsUnsigned) {
    SessionRoster roster;
    for (std::int32_t i = 0; i < 40; ++i) {
        const std::int32_t id = i < 20 ? -1 - i : 1000 + i;  // negative ids are the highest as unsigned
        roster.Players.push_back({id, "C", id ^ 0x5000});
        roster.Groups.push_back(TarnwickGroup(id ^ 0x7000, id ^ 0x5000, {id}));
    }
    const std::vector<std::int32_t> kept = RecognizeControllers(roster, 0);
    ASSERT_EQ(kept.size(), kMaxControllers);
    EXPECT_EQ(kept.front(), 1020);
    EXPECT_EQ(kept[19], 1039);
    EXPECT_EQ(kept[20], -20) << "then the negative ids, from -20 (0xFFFFFFEC) up";
    EXPECT_EQ(kept.back(), -9);
    EXPECT_TRUE(LowerPlayerId(5, -5));
}

TEST(StripBayOrder, StripsMoveAndFinishedOnesAreKeptNewestFirstWithinTheirBound) {
    StripBay bay;
    const PlayerKey a{1, "A"}, b{2, "B"}, c{3, "C"};
    EXPECT_TRUE(bay.Add(a));
    EXPECT_TRUE(bay.Add(b));
    EXPECT_TRUE(bay.Add(c));
    EXPECT_FALSE(bay.Add(b));
    EXPECT_TRUE(bay.Move(c, 0));
    EXPECT_TRUE(bay.Move(a, 99));
    EXPECT_EQ(std::vector<PlayerKey>(bay.Strips().begin(), bay.Strips().end()),
              (std::vector<PlayerKey>{c, b, a}));

    EXPECT_TRUE(bay.Finish(b).empty());
    EXPECT_TRUE(bay.Finish(c).empty());
    EXPECT_EQ(std::vector<PlayerKey>(bay.Finished().begin(), bay.Finished().end()),
              (std::vector<PlayerKey>{c, b}));
    EXPECT_FALSE(bay.Move(b, 0)) << "a finished strip stays finished";

    for (std::int32_t i = 0; i < static_cast<std::int32_t>(StripBay::kMaxFinished); ++i) {
        ASSERT_TRUE(bay.Add({100 + i, "P"}));
        const auto forgotten = bay.Finish({100 + i, "P"});
        if (i < static_cast<std::int32_t>(StripBay::kMaxFinished) - 2) {
            EXPECT_TRUE(forgotten.empty());
        }
    }
    EXPECT_EQ(bay.Finished().size(), StripBay::kMaxFinished);
    EXPECT_FALSE(bay.IsFinished(b)) << "the oldest finished strips go first";
    EXPECT_TRUE(bay.Remove(a));
    EXPECT_TRUE(bay.Strips().empty());
}

}  // namespace
}  // namespace tarnwick::coordination
