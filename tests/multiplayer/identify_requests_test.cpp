#include "multiplayer/identify_requests.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
constexpr milliseconds kStart{100000};

TEST(IdentifyRequests, EachPlayerIsAskedOncePerIntervalWhateverItSendsMeanwhile) {
    IdentifyRequests requests;
    int asked = 0;
    // Four reports a second for ten seconds.
    for (milliseconds t{0}; t < milliseconds(10000); t += milliseconds(250))
        asked += requests.ShouldAsk(7, kStart + t) ? 1 : 0;
    EXPECT_EQ(asked, 4) << "at 0, 3, 6 and 9 seconds";
    EXPECT_TRUE(requests.ShouldAsk(8, kStart + milliseconds(9100))) << "another player has its own interval";

    requests.Asked(9, kStart);  // by the upkeep pass, say
    EXPECT_FALSE(requests.ShouldAsk(9, kStart + IdentifyRequests::kInterval - milliseconds(1)));
    EXPECT_TRUE(requests.ShouldAsk(9, kStart + IdentifyRequests::kInterval));
    EXPECT_TRUE(requests.ShouldAsk(9, kStart)) << "a clock that went back does not hold the player off";
}

TEST(IdentifyRequests, ManyIdsAtOnceKeepTheMemoryAndTheRequestsBounded) {
    IdentifyRequests requests;
    int asked = 0;
    for (std::int32_t id = 1; id <= 20000; ++id) asked += requests.ShouldAsk(id, kStart) ? 1 : 0;
    EXPECT_EQ(asked, static_cast<int>(IdentifyRequests::kMostPlayers));
    EXPECT_EQ(requests.Kept(), IdentifyRequests::kMostPlayers);
    requests.Asked(200000, kStart);
    EXPECT_EQ(requests.Kept(), IdentifyRequests::kMostPlayers);

    const milliseconds later = kStart + IdentifyRequests::kInterval;
    EXPECT_TRUE(requests.ShouldAsk(200001, later)) << "room again once the interval has passed";
    EXPECT_FALSE(requests.ShouldAsk(200001, later + milliseconds(1)));
    EXPECT_LE(requests.Kept(), IdentifyRequests::kMostPlayers);
}

}  // namespace
}  // namespace tarnwick
