// The traffic simulator served by a DirectPlay host on 127.0.0.1, joined by
// our DirectPlay client over real sockets on ports the system picks.
#include "multiplayer/hosting/directplay_hosted_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "multiplayer/demo/traffic_simulator.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/hosting/observed_directplay_host.h"
#include "multiplayer/hosting/session_message_log.h"
#include "support/directplay_test_client.h"

namespace tarnwick {
namespace {

using namespace directplay;

TEST(DirectPlayHostedSession, AClientSeesThePilotsItsChatReachesTheLogAndTheHostLeaves) {
    SteadyClock clock;
    std::vector<std::string> log;
    HostConfig config;
    config.peer.tcp_ports = {0, 0};
    config.peer.udp_ports = {0, 0};
    config.enumeration_port = 0;
    ObservedDirectPlayHost host(config, clock, [&](const Origin& origin, const SystemFrame& frame) {
        log.push_back(SystemMessageLogLine(clock.Now(), origin, frame));
    });
    PosixRunner runner(host, clock, kLoopbackAddress);
    host.Start();
    runner.PollOnce(Millis{0});
    DirectPlayHostedSession served(host);
    TrafficSimulatorSetup setup;
    setup.Aircraft = 3;
    TrafficSimulator simulator(served, setup);
    Millis simulated{0};  // a quarter second a turn, as fast as the sockets go

    testing::DirectPlayTestClient c(runner.EnumerationPort().value_or(0), [&] {
        runner.PollOnce(Millis{2});
        for (auto& event : runner.TakeEvents()) {
            if (const auto* message = std::get_if<action::Deliver>(&event)) {
                log.push_back(GameMessageLogLine(clock.Now(), *message,
                                                 [&](PlayerId id) { return host.PlayerName(id); }));
                served.Deliver(*message);
            }
        }
        simulator.Advance(simulated += Millis{250});
    });
    const auto logged = [&](const std::string& part) {
        return std::any_of(log.begin(), log.end(),
                           [&](const std::string& line) { return line.find(part) != line.npos; });
    };

    ASSERT_TRUE(c.Join("ATC Controller"));
    std::set<std::string> names;
    for (const auto& created : c.Got<action::PlayerCreated>()) names.insert(created.name);
    for (const SimulatedPilot& pilot : simulator.Pilots())
        EXPECT_TRUE(names.contains(pilot.Name)) << pilot.Name;
    EXPECT_TRUE(c.Client().Names().FindGroupByName(u"FS61_REFUSE_PARAMS").has_value());

    // The host accepts us to the player we are, and the pilots report to us.
    const auto acceptedAsOurPlayer = [&](const action::Deliver& m) {
        const tarnwick::GameMessage message = DecodeGameMessage(m.payload);
        const auto* accept = std::get_if<MsgJoinAccept>(&message);
        return accept && accept->PlayerId == ProgramPlayerId(c.Client().OwnPlayer());
    };
    c.Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(
        c.RunUntil([&] { return std::ranges::any_of(c.Got<action::Deliver>(), acceptedAsOurPlayer); }));
    ASSERT_TRUE(
        c.RunUntil([&] { return c.GotGame(MsgPosition::kType) || c.GotGame(MsgPositionLong::kType); }));

    c.Send(EncodeTerminated(MsgChat{"Hello tower"}));
    ASSERT_TRUE(c.RunUntil([&] { return logged("\"text\":\"Hello tower\""); }));
    EXPECT_TRUE(logged("\"from_name\":\"ATC Controller\""));
    EXPECT_TRUE(logged("\"system\":\"ADDFORWARDREQUEST\""));

    simulator.HostLeaves();
    host.Leave();
    ASSERT_TRUE(c.RunUntil([&] { return !c.Got<action::SessionLost>().empty(); }));
    EXPECT_TRUE(c.GotGame(MsgHostLeft::kType));
    EXPECT_GE(c.Got<action::PlayerDestroyed>().size(), 3u);
}

TEST(SessionMessageLog, AShortGameMessageIsLoggedAsOneSoundLineWithTheReason) {
    const auto line = [](std::vector<std::uint8_t> payload) {
        action::Deliver message;
        message.from = 5;
        message.to = 6;
        message.payload = std::move(payload);
        return GameMessageLogLine(std::chrono::milliseconds{1500}, message,
                                  [](PlayerId) { return std::nullopt; });
    };
    // The header is shown as sent; the fields that are not there are not named.
    EXPECT_EQ(line({0x03, 0x10, 0, 0, 4, 0, 0, 0, 1, 2}),
              "{\"time\":1.5,\"from\":5,\"to\":6,\"via\":\"tcp\",\"game\":\"MsgJoinAccept\",\"type\":4099,"
              "\"length\":4,\"malformed\":\"the message ends at byte 8, 4 more were needed\",\"size\":10}");
    EXPECT_EQ(line({0x23, 0x10, 0}),
              "{\"time\":1.5,\"from\":5,\"to\":6,\"via\":\"tcp\","
              "\"malformed\":\"the message ends at byte 0, 4 more were needed\",\"size\":3}");
}

}  // namespace
}  // namespace tarnwick
