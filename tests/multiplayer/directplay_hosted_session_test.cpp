// The traffic simulator served by a DirectPlay host on 127.0.0.1, joined by
// our DirectPlay client over real sockets on ports the system picks.
#include "multiplayer/directplay_hosted_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/messages.h"
#include "multiplayer/observed_directplay_host.h"
#include "multiplayer/session_message_log.h"
#include "multiplayer/traffic_simulator.h"

namespace tarnwick {
namespace {

using namespace directplay;

std::int32_t TypeOf(const action::Deliver& message) {
    MessageReader reader(message.payload);
    return ReadHeader(reader).Type;
}

struct ServedSimulation {
    explicit ServedSimulation(bool refuse) {
        HostConfig config;
        config.peer.tcp_ports = {0, 0};
        config.peer.udp_ports = {0, 0};
        config.enumeration_port = 0;
        config.session_name = "Served";
        host.emplace(config, clock, [this](const Origin& origin, const SystemFrame& frame) {
            log.push_back(SystemMessageLogLine(clock.Now(), origin, frame));
        });
        hostRunner.emplace(*host, clock, kLoopbackAddress);
        host->Start();
        hostRunner->PollOnce(Millis{0});
        served.emplace(*host);
        TrafficSimulatorSetup setup;
        setup.CenterLat = 47.449;
        setup.CenterLon = -122.309;
        setup.Aircraft = 3;
        setup.RefuseJoins = refuse;
        simulator.emplace(*served, setup);

        ClientConfig clientConfig;
        clientConfig.peer.tcp_ports = {0, 0};
        clientConfig.peer.udp_ports = {0, 0};
        clientConfig.enumeration_port = hostRunner->EnumerationPort().value_or(0);
        clientConfig.enumeration_time = Millis{300};
        client.emplace(clientConfig, clock);
        clientRunner.emplace(*client, clock, kLoopbackAddress);
    }

    // Runs both machines, the simulation a quarter second a turn, until `done`.
    template <typename Done>
    bool RunUntil(Done done) {
        const Millis giveUp = clock.Now() + Millis{5000};
        while (!done() && clock.Now() < giveUp) {
            hostRunner->PollOnce(Millis{2});
            for (auto& event : hostRunner->TakeEvents()) {
                if (const auto* message = std::get_if<action::Deliver>(&event)) {
                    log.push_back(GameMessageLogLine(clock.Now(), *message,
                                                     [this](PlayerId id) { return host->PlayerName(id); }));
                    served->Deliver(*message);
                }
            }
            simulationTime += Millis{250};
            simulator->Advance(simulationTime);
            clientRunner->PollOnce(Millis{2});
            for (auto& event : clientRunner->TakeEvents()) clientEvents.push_back(std::move(event));
        }
        return done();
    }

    template <typename T>
    std::vector<T> ClientGot() const {
        std::vector<T> out;
        for (const auto& event : clientEvents)
            if (const auto* e = std::get_if<T>(&event)) out.push_back(*e);
        return out;
    }

    bool ClientGotGame(std::int32_t type) const {
        const auto messages = ClientGot<action::Deliver>();
        return std::any_of(messages.begin(), messages.end(),
                           [&](const auto& m) { return TypeOf(m) == type; });
    }

    bool Logged(const std::string& part) const {
        return std::any_of(log.begin(), log.end(),
                           [&](const std::string& line) { return line.find(part) != line.npos; });
    }

    void Join() {
        client->Start();
        clientRunner->PollOnce(Millis{0});
        client->Enumerate(kLoopbackAddress);
        ASSERT_TRUE(RunUntil([&] { return !ClientGot<action::EnumerationDone>().empty(); }));
        const auto found = ClientGot<action::SessionFound>();
        ASSERT_EQ(found.size(), 1u);
        JoinRequest request;
        request.player_name = "ATC Controller";
        client->Join(found[0].session, request);
        ASSERT_TRUE(RunUntil([&] { return !ClientGot<action::Joined>().empty(); }));
    }

    void SendFromClient(const MessageBytes& message) {
        ASSERT_TRUE(client->SendGameMessage(client->OwnPlayer(), directplay::kAllPlayers, message, true));
    }

    SteadyClock clock;
    std::optional<ObservedDirectPlayHost> host;
    std::optional<PosixRunner> hostRunner;
    std::optional<DirectPlayHostedSession> served;
    std::optional<TrafficSimulator> simulator;
    std::optional<DirectPlayClient> client;
    std::optional<PosixRunner> clientRunner;
    Millis simulationTime{0};
    std::vector<Action> clientEvents;
    std::vector<std::string> log;
};

TEST(DirectPlayHostedSession, AClientSeesThePilotsFlyAndItsChatReachesTheHostLog) {
    ServedSimulation s(false);
    s.Join();
    std::set<std::string> names;
    for (const auto& created : s.ClientGot<action::PlayerCreated>()) names.insert(created.name);
    for (const SimulatedPilot& pilot : s.simulator->Pilots())
        EXPECT_TRUE(names.contains(pilot.Name)) << pilot.Name;
    EXPECT_EQ(s.client->Names().FindGroupByName(u"FS61_REFUSE_PARAMS").has_value(), true);

    s.SendFromClient(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(s.RunUntil([&] {
        const auto got = s.ClientGot<action::Deliver>();
        return std::any_of(got.begin(), got.end(), [&](const auto& m) {
            return TypeOf(m) == MsgJoinAccept::kType &&
                   DecodeMessage<MsgJoinAccept>(m.payload).PlayerId == ProgramPlayerId(s.client->OwnPlayer());
        });
    }));
    ASSERT_TRUE(s.RunUntil(
        [&] { return s.ClientGotGame(MsgPosition::kType) || s.ClientGotGame(MsgPositionLong::kType); }));

    s.SendFromClient(EncodeTerminated(MsgChat{"Hello tower"}));
    ASSERT_TRUE(s.RunUntil([&] { return s.Logged("\"text\":\"Hello tower\""); }));
    EXPECT_TRUE(s.Logged("\"system\":\"ADDFORWARDREQUEST\""));
    EXPECT_TRUE(s.Logged("\"from_name\":\"ATC Controller\""));

    s.client->Leave();
    EXPECT_TRUE(s.RunUntil([&] { return s.Logged("\"system\":\"DELETEPLAYER\""); }));
}

TEST(DirectPlayHostedSession, RefusesTheJoinAndTellsTheClientWhenTheHostLeaves) {
    ServedSimulation s(true);
    s.Join();
    s.SendFromClient(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(s.RunUntil([&] { return s.ClientGotGame(MsgJoinRefuse::kType); }));
    EXPECT_FALSE(s.ClientGotGame(MsgJoinAccept::kType));

    s.simulator->HostLeaves();
    s.host->Leave();
    ASSERT_TRUE(s.RunUntil([&] { return !s.ClientGot<action::SessionLost>().empty(); }));
    EXPECT_TRUE(s.ClientGotGame(MsgHostLeft::kType));
    EXPECT_TRUE(s.ClientGot<action::PlayerDestroyed>().size() >= 3u);
}

}  // namespace
}  // namespace tarnwick
