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

    for (const CommandArguments& bad : std::vector<CommandArguments>{{"--work"},
                                                                     {"--work", ""},
                                                                     {"--demo", "--desktop"},
                                                                     {"--work", "a", "--work", "b"},
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
