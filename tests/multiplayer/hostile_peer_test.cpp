#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <random>

#include "multiplayer/fuzzing/receive_fuzzing.h"
#include "multiplayer/session_fixture.h"
#include "multiplayer/session_link.h"

namespace tarnwick {
namespace {

using testing::SessionFixture;

MessageBytes Header(std::int32_t type, std::int32_t length) {
    return MessageBuilder().AppendLong(type).AppendLong(length).Take();
}

// The program joined and its radar window open, with a pilot and a hostile
// peer in the session.
struct AmongPeers {
    AmongPeers() {
        f.Connect();
        own = f.session.OwnPlayerId;
        link.emplace(f.session, f.Transport(), *grid);
        link->Start();
        pilot = f.hub.AddPlayer("Pilot");
        hostile = f.hub.AddPlayer("Hostile");
        f.hub.Send(pilot, own, Encode(MsgJoinAccept{pilot}));
    }
    SessionFixture f;
    std::unique_ptr<DeclinationGrid> grid = std::make_unique<DeclinationGrid>();
    std::optional<SessionLink> link;  // over the transport the join made
    std::int32_t own = 0;
    std::int32_t pilot = 0;
    std::int32_t hostile = 0;
};

TEST(HostilePeer, BadMessagesArePassedOverAndTheLinkKeepsWorking) {
    AmongPeers p;
    auto& [f, grid, linked, own, pilot, hostile] = p;
    SessionLink& link = *linked;
    f.hub.Send(hostile, own, Encode(MsgJoinAccept{pilot}));
    link.ReceiveTick();
    ASSERT_EQ(f.session.Traffic.PlayerCount(), 3);

    std::vector<MessageBytes> attack = {{}, {0x18, 0x10}, Header(0x7FFFFFFF, 0), Header(-1, -1)};
    for (std::int32_t type : {0x1003, 0x1004, 0x100E, 0x1018, 0x1019, 0x1023}) {
        attack.push_back(Header(type, 50));       // the length promises what never comes
        attack.push_back(Header(type, INT_MAX));  // a length no message can have
        attack.push_back(Header(type, INT_MIN));
        MessageBytes cut = Header(type, 4);
        cut.push_back(1);
        attack.push_back(cut);
    }
    attack.push_back(Encode(MsgPosition{{0, INT_MAX, INT_MIN, INT_MIN}}));
    MessageBytes huge = Encode(MsgChat{std::string(100000, 'x')});
    attack.push_back(huge);
    for (const MessageBytes& message : attack) {
        f.hub.Inject(hostile, own, message);
        f.hub.Send(pilot, own, Encode(MsgPosition{{1024, 10001750 / 2, 0, 300}}));
    }
    f.hub.Send(hostile, own, Encode(MsgIdentifyRequest{}));
    f.hub.Send(pilot, own, Encode(MsgChat{"still here"}));

    const LinkEvents events = link.ReceiveTick();
    EXPECT_FALSE(events.Disconnect);
    EXPECT_EQ(f.Transport().MessageCount(own), 0) << "one tick got through the lot";
    ASSERT_EQ(events.ChatLines.size(), 2u);
    EXPECT_EQ(events.ChatLines[0], "Hostile: " + std::string(100000, 'x'));
    EXPECT_EQ(events.ChatLines[1], "Pilot: still here");
    EXPECT_EQ(f.session.Traffic[1].Latitude, 45.0);
    EXPECT_EQ(f.session.Traffic[1].Altitude, 984);
    EXPECT_EQ(f.session.Traffic[2].Name, "Hostile");
    EXPECT_EQ(f.session.Traffic[2].Latitude, 0.0) << "a report with a value out of range changes nothing";
    EXPECT_EQ(f.session.Traffic.PlayerCount(), 3);
    EXPECT_EQ(DecodeMessage<MsgJoinAccept>(f.hub.Receive(hostile)->Bytes).PlayerId, own)
        << "after all that the program still answers";
}

// Only the player that admitted the program (and, once the program hosts,
// nobody else) can say that the host leaves or remove the program.
TEST(HostilePeer, OnlyTheHostCanSayItLeavesOrRemoveTheProgram) {
    AmongPeers p;
    auto& [f, grid, linked, own, pilot, hostile] = p;
    SessionLink& link = *linked;
    ASSERT_EQ(f.session.HostPlayerId, f.host);
    f.hub.Send(hostile, own, Encode(MsgRemovedByHost{}));
    f.hub.Send(hostile, own, Encode(MsgHostLeft{}));
    LinkEvents events = link.ReceiveTick();
    EXPECT_TRUE(events.Messages.empty());
    EXPECT_FALSE(events.Disconnect);
    EXPECT_FALSE(f.session.IsHosting);

    f.hub.Send(f.host, own, Encode(MsgHostLeft{}));
    f.hub.RemovePlayer(f.host);
    f.hub.Send(hostile, own, Encode(MsgRemovedByHost{}));
    events = link.ReceiveTick();
    ASSERT_EQ(events.Messages.size(), 1u) << "the host's leave, and nothing from the hostile peer";
    EXPECT_FALSE(events.Disconnect);
    EXPECT_TRUE(f.session.IsHosting);
}

TEST(HostilePeer, ArbitraryBytesLeaveALinkThatStillAnswersUnlessTheSessionEnded) {
    std::mt19937 engine(20240917);
    int read = 0;
    int ended = 0;
    for (int run = 0; run < 3000; ++run) {
        // The entry's records (see receive_fuzzing.h), each a message with a
        // real type code, a random length field and random payload, so that
        // the handlers run on what they must not trust.
        std::vector<std::uint8_t> data{static_cast<std::uint8_t>(engine())};
        for (auto record = engine() % 12; record > 0; --record) {
            MessageBytes message = Header(static_cast<std::int32_t>(0x1001 + engine() % 0x23),
                                          static_cast<std::int32_t>(engine() % 80) - 8);
            for (auto b = engine() % 60; b > 0; --b) message.push_back(static_cast<std::uint8_t>(engine()));
            data.push_back(static_cast<std::uint8_t>(engine()));
            data.push_back(static_cast<std::uint8_t>(message.size()));
            data.push_back(0);
            data.insert(data.end(), message.begin(), message.end());
        }
        const ReceiveTickRun outcome = RunReceiveTicks(data);
        ASSERT_TRUE(outcome.SessionEnded || outcome.StillAnswers) << "run " << run;
        read += outcome.ReadMessages;
        ended += outcome.SessionEnded ? 1 : 0;
    }
    EXPECT_GT(read, 1000) << "the bytes reached the handlers of the messages the program reads";
    EXPECT_GT(ended, 0) << "some runs ended the session";
    EXPECT_LT(ended, 2000) << "most runs left a session to answer in";
}

}  // namespace
}  // namespace tarnwick
