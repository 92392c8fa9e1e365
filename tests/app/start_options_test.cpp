#include "app/start_options.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(StartOptions, OneWorkPlaceAtMost) {
    EXPECT_EQ(ParseStartOptions({}).Place, WorkPlace::Current);
    const StartOptions work = ParseStartOptions({"--work", "sims/home"});
    EXPECT_EQ(work.Place, WorkPlace::Folder);
    EXPECT_EQ(work.Folder, "sims/home");
    EXPECT_EQ(ParseStartOptions({"--demo"}).Place, WorkPlace::Demo);
    EXPECT_EQ(ParseStartOptions({"--desktop"}).Place, WorkPlace::Own);
    // A replay goes with any work place, before or after it.
    const StartOptions replay = ParseStartOptions({"--replay", "evening.jsonl", "--demo"});
    EXPECT_EQ(replay.Place, WorkPlace::Demo);
    EXPECT_EQ(replay.Replay, "evening.jsonl");
    EXPECT_EQ(ParseStartOptions({"--demo", "--replay", "evening.jsonl"}).Replay, "evening.jsonl");

    for (const CommandArguments& bad : std::vector<CommandArguments>{{"--work"},
                                                                     {"--work", ""},
                                                                     {"--demo", "--desktop"},
                                                                     {"--work", "a", "--work", "b"},
                                                                     {"--replay"},
                                                                     {"folder"}}) {
        EXPECT_THROW(ParseStartOptions(bad), UsageError) << bad.front();
    }
}

TEST(StartOptions, OwnFolderFollowsXdgDataHomeOnlyWhenAbsolute) {
    EXPECT_EQ(OwnWorkFolder("/data", "/home/ann"), std::filesystem::path("/data/tarnwick"));
    EXPECT_EQ(OwnWorkFolder("", "/home/ann"), std::filesystem::path("/home/ann/.local/share/tarnwick"));
    EXPECT_EQ(OwnWorkFolder("data", "/home/ann"), std::filesystem::path("/home/ann/.local/share/tarnwick"));
    EXPECT_EQ(OwnWorkFolder(nullptr, "/home/ann"), std::filesystem::path("/home/ann/.local/share/tarnwick"));
    EXPECT_FALSE(OwnWorkFolder(nullptr, nullptr));
    EXPECT_FALSE(OwnWorkFolder("", ""));
}

}  // namespace
}  // namespace tarnwick
