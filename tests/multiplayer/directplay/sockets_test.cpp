// A client joins a host over real sockets on 127.0.0.1, on ports the system
// picks, and the fuzzing entry survives hostile bytes.
#include <gtest/gtest.h>

#include <random>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/host_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/fuzzing/directplay_fuzzing.h"
#include "support/socket_time.h"
#include "wire_samples.h"

namespace tarnwick::directplay {
namespace {

template <typename T>
std::vector<T> Take(std::vector<Action>& events) {
    std::vector<T> out;
    for (const auto& a : events)
        if (const auto* e = std::get_if<T>(&a)) out.push_back(*e);
    return out;
}

TEST(DirectPlaySockets, AClientJoinsAHostOnLoopback) {
    SteadyClock clock;
    HostConfig host_config;
    host_config.peer.tcp_ports = {0, 0};
    host_config.peer.udp_ports = {0, 0};
    host_config.enumeration_port = 0;
    host_config.session_name = "Loopback";
    DirectPlayHost host(host_config, clock);
    PosixRunner host_runner(host, clock, kLoopbackAddress);
    host.Start();
    host_runner.PollOnce(Millis{0});
    ASSERT_TRUE(host.Running());
    ASSERT_TRUE(host_runner.EnumerationPort());
    const PlayerId sim = host.CreateLocalPlayer("Sim One");

    ClientConfig client_config;
    client_config.peer.tcp_ports = {0, 0};
    client_config.peer.udp_ports = {0, 0};
    client_config.enumeration_port = *host_runner.EnumerationPort();
    client_config.enumeration_time = Millis{400};
    DirectPlayClient client(client_config, clock);
    PosixRunner client_runner(client, clock, kLoopbackAddress);

    std::vector<Action> host_events;
    std::vector<Action> client_events;
    const auto run_until = [&](auto done) {
        const auto give_up = tarnwick::testing::SocketDeadlineFromNow();
        while (!done() && std::chrono::steady_clock::now() < give_up) {
            host_runner.PollOnce(Millis{5});
            client_runner.PollOnce(Millis{5});
            for (auto& e : host_runner.TakeEvents()) host_events.push_back(std::move(e));
            for (auto& e : client_runner.TakeEvents()) client_events.push_back(std::move(e));
        }
        return done();
    };

    client.Enumerate(kLoopbackAddress);
    ASSERT_TRUE(run_until([&] { return !Take<action::EnumerationDone>(client_events).empty(); }));
    const auto found = Take<action::SessionFound>(client_events);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].session.name, u"Loopback");

    JoinRequest request;
    request.player_name = "ATC Controller";
    client.Join(found[0].session, request);
    ASSERT_TRUE(run_until([&] { return !Take<action::Joined>(client_events).empty(); }));
    EXPECT_EQ(client.PlayerName(sim), "Sim One");

    const std::vector<std::uint8_t> hello = {0x01, 0x10, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(client.SendGameMessage(client.OwnPlayer(), kAllPlayers, hello, true));
    ASSERT_TRUE(host.SendGameMessage(sim, kAllPlayers, std::vector<std::uint8_t>{0x18, 0x10, 9}, false));
    ASSERT_TRUE(run_until([&] {
        return !Take<action::Deliver>(host_events).empty() && !Take<action::Deliver>(client_events).empty();
    }));
    EXPECT_EQ(Take<action::Deliver>(host_events).at(0).payload, hello);
    EXPECT_FALSE(Take<action::Deliver>(client_events).at(0).guaranteed);

    const PlayerId me = client.OwnPlayer();
    client.Leave();
    ASSERT_TRUE(run_until([&] { return !Take<action::PlayerDestroyed>(host_events).empty(); }));
    EXPECT_EQ(Take<action::PlayerDestroyed>(host_events).at(0).id, me);
}

TEST(DirectPlayFuzzEntry, SurvivesSampleMessagesAndTheirDamage) {
    std::mt19937 random(5);
    for (const auto& message : testing::SampleMessages()) {
        auto frame = EncodeSystemFrame(message, {0, 2400});
        EXPECT_EQ(FuzzDirectPlayMessage(frame.data(), frame.size()), 0);
        for (int round = 0; round < 20; ++round) {
            frame[random() % frame.size()] = static_cast<std::uint8_t>(random());
            FuzzDirectPlayMessage(frame.data(), frame.size());
        }
    }
    EXPECT_EQ(FuzzDirectPlayMessage(nullptr, 0), 0);
}

}  // namespace
}  // namespace tarnwick::directplay
