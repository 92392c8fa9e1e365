#include "multiplayer/local/in_process_session.h"

#include <gtest/gtest.h>

#include <memory>

#include "multiplayer/local/in_process_transport.h"

namespace tarnwick {
namespace {

std::unique_ptr<InProcessTransport> Joined(InProcessSessionHub& hub) {
    auto transport = std::make_unique<InProcessTransport>(hub, "In-process");
    JoinHostedSession(*transport);
    return transport;
}

std::int32_t CreatePlayer(InProcessTransport& transport, const std::string& name) {
    transport.StartCreatePlayer(name, "Player");
    return transport.CreatedPlayer();
}

std::vector<std::uint8_t> Bytes(std::uint8_t b) { return {b}; }

TEST(InProcessSession, DeliversInOrderToPlayersGroupsAndAllButTheSender) {
    InProcessSessionHub hub;
    hub.HostSession("Test", 4, "{GUID}");
    const std::int32_t peer = hub.AddPlayer("Peer");
    const std::int32_t group = hub.AddGroup("FS61_REFUSE_PARAMS");
    auto a = Joined(hub);
    auto b = Joined(hub);
    const std::int32_t alice = CreatePlayer(*a, "Alice");
    const std::int32_t bob = CreatePlayer(*b, "Bob");
    EXPECT_EQ(hub.Hosted()->CurrentPlayers, 3);
    a->AddPlayerToGroup(group, alice);

    hub.Send(peer, kAllPlayers, Bytes(1));
    hub.Send(peer, group, Bytes(2));
    b->Send(bob, alice, Bytes(3));
    a->Send(alice, kAllPlayers, Bytes(4));
    EXPECT_EQ(a->MessageCount(alice), 3);
    for (int expected : {1, 2, 3}) EXPECT_EQ(a->Receive().Bytes, Bytes(static_cast<std::uint8_t>(expected)));
    EXPECT_THROW(a->Receive(), SessionError) << "an empty queue is an error, as DirectPlay reports it";
    EXPECT_EQ(b->Receive().Bytes, Bytes(1));
    const ReceivedMessage fromAlice = b->Receive();
    EXPECT_EQ(fromAlice.From, alice);
    EXPECT_EQ(fromAlice.To, bob);
    EXPECT_EQ(hub.Receive(peer)->Bytes, Bytes(4));
    EXPECT_THROW(a->Send(bob, alice, Bytes(5)), SessionError) << "only players of this machine send";
    EXPECT_THROW(a->Send(alice, 999, Bytes(5)), SessionError);
}

TEST(InProcessSession, LeavingAndLosingTheSession) {
    InProcessSessionHub hub;
    hub.HostSession("Test", 2, "{GUID}");
    auto a = Joined(hub);
    CreatePlayer(*a, "Alice");
    {
        auto b = Joined(hub);
        CreatePlayer(*b, "Bob");
        EXPECT_THROW(CreatePlayer(*a, "Carol"), SessionError) << "two players at most";
    }
    EXPECT_EQ(a->Players().size(), 1u) << "a dropped transport has left the session";
    EXPECT_FALSE(a->SessionLost());
    hub.EndSession();
    EXPECT_TRUE(a->SessionLost());
    EXPECT_THROW(a->Players(), SessionError);
    hub.HostSession("Next", 2, "{GUID}");
    EXPECT_TRUE(a->SessionLost()) << "a later session is not the one joined";
}

}  // namespace
}  // namespace tarnwick
