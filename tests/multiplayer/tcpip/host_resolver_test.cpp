// The system's resolver answers off the caller's thread; a lookup given up
// on finishes on its own. Only addresses written out are looked up, so the
// test asks no name server.
#include "multiplayer/tcpip/host_resolver.h"

#include <gtest/gtest.h>

#include "multiplayer/directplay/wire_basics.h"
#include "support/socket_time.h"

namespace tarnwick {
namespace {

TEST(SystemHostResolver, AnswersThroughTheFutureAndOutlivesADroppedLookup) {
    const auto resolver = SystemHostResolver();
    (void)resolver->Lookup("127.0.0.3");  // dropped at once
    HostLookup lookup = resolver->Lookup("127.0.0.2");
    ASSERT_EQ(lookup.wait_for(testing::kSocketDeadline), std::future_status::ready);
    EXPECT_EQ(lookup.get(), directplay::kLoopbackAddress + 1);
}

}  // namespace
}  // namespace tarnwick
