#include "multiplayer/chat.h"

#include <gtest/gtest.h>

#include "multiplayer/session_fixture.h"

namespace tarnwick {
namespace {

using testing::SessionFixture;

TEST(Chat, SendsThePaddedMessageAndLogsTheLineAsItWentOut) {
    SessionFixture f;
    f.Connect();
    const std::int32_t own = f.session.OwnPlayerId;
    EXPECT_EQ(ChatPlayerNames(f.session.Traffic), (std::vector<std::string>{kDefaultNickname}));

    ChatSendResult result = SendChat(f.Transport(), own, "Hi");
    EXPECT_TRUE(result.Sent);
    EXPECT_EQ(result.LogLine, "ATC Controller: Hi");
    EXPECT_EQ(f.hub.Receive(f.host)->Bytes,
              (std::vector<std::uint8_t>{0x23, 0x10, 0, 0, 4, 0, 0, 0, 'H', 'i', 0, 0, 0, 0}));

    result = SendChat(f.Transport(), own, "caf\xC3\xA9 \xE2\x9C\x88");  // café and an aeroplane
    EXPECT_EQ(result.LogLine, "ATC Controller: caf\xE9 ?");
    EXPECT_EQ(DecodeMessage<MsgChat>(f.hub.Receive(f.host)->Bytes).Text, "caf\xE9 ?");

    result = SendChat(f.Transport(), own, "");
    EXPECT_EQ(result.LogLine, "ATC Controller: ") << "an empty line still goes out";
    EXPECT_EQ(f.hub.Receive(f.host)->Bytes, (std::vector<std::uint8_t>{0x23, 0x10, 0, 0, 0, 0, 0, 0}));

    EXPECT_FALSE(SendChat(f.Transport(), 0, "Hi").LogLine) << "without a player nothing is sent";
}

TEST(Chat, AFailedSendSaysTheMessageWasNotSent) {
    SessionFixture f;
    f.Connect();
    const std::int32_t own = f.session.OwnPlayerId;
    f.hub.EndSession();
    const ChatSendResult failed = SendChat(f.Transport(), own, "Hello?");
    EXPECT_FALSE(failed.Sent);
    EXPECT_EQ(failed.LogLine, "(The message was not sent: Hello?)");
}

}  // namespace
}  // namespace tarnwick
