#include "multiplayer/demo/traffic_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "multiplayer/chat.h"
#include "multiplayer/demo/demo_session.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/session_link.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

constexpr double kCenterLat = 47.449;
constexpr double kCenterLon = -122.309;

TrafficSimulatorSetup Seattle(std::uint64_t seed, bool withRunway) {
    TrafficSimulatorSetup setup;
    setup.CenterLat = kCenterLat;
    setup.CenterLon = kCenterLon;
    setup.Seed = seed;
    if (withRunway) setup.Runways.push_back({47.4638, -122.3079, 47.4316, -122.3080, 432, "", ""});
    return setup;
}

// The program in the demo session, driven by its timers on a hand-moved clock.
struct DemoRun {
    DemoRun() {
        connection.Load();
        connection.LocateSession(1);
        connection.JoinSession(0, kDefaultNickname);
        for (int i = 0; i < 5 && !accepted; ++i) {
            clock += milliseconds(1000);
            accepted = connection.WaitForAcceptance().OpenRadar;
        }
        if (accepted) {
            link = std::make_unique<SessionLink>(session, play.Play(), *grid, [this] { return clock; });
            link->Start();
        }
    }

    // Runs the radar window's receive and upkeep timers for `seconds`.
    void Run(int seconds) {
        for (int tick = 1; tick <= seconds * 10; ++tick) {
            clock += milliseconds(100);
            const LinkEvents events = link->ReceiveTick();
            chat.insert(chat.end(), events.ChatLines.begin(), events.ChatLines.end());
            disconnected = disconnected || events.Disconnect;
            if ((clock - joinedAt) % milliseconds(30000) == milliseconds(0)) link->MaintenanceTick();
        }
    }

    milliseconds clock{5'000'000};
    milliseconds joinedAt = clock;
    std::unique_ptr<DeclinationGrid> grid = std::make_unique<DeclinationGrid>();
    SessionState session;
    PlayObjects play{[this] {
        return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(DemoSessionFactory([this] {
            return DemoSessionSetup{Seattle(7, true), [this] { return clock; }};
        })));
    }};
    SessionConnection connection{session, play};
    bool accepted = false;
    std::unique_ptr<SessionLink> link;
    std::vector<std::string> chat;
    bool disconnected = false;
};

TEST(DemoSession, TheProgramJoinsAndSeesMovingDescribedPilots) {
    DemoRun run;
    ASSERT_EQ(run.connection.SessionLines().size(), 1u);
    const std::string line = run.connection.SessionLines()[0];
    EXPECT_EQ(line.rfind("Tarnwick demo (", 0), 0u) << line;
    EXPECT_NE(line.find("/16)"), std::string::npos) << line;
    ASSERT_TRUE(run.accepted);

    run.Run(40);
    const TrafficTable& table = run.session.Traffic;
    EXPECT_GE(table.PlayerCount(), 7) << "the own entry and at least six pilots";
    int placed = 0;
    int described = 0;
    for (const PlayerRecord& entry : table.Entries()) {
        if (entry.PlayerId == run.session.OwnPlayerId) continue;
        if (std::abs(entry.Latitude - kCenterLat) < 1.0 && std::abs(entry.Longitude - kCenterLon) < 1.5)
            ++placed;
        if (!entry.Aircraft.empty() && !entry.Category.empty()) ++described;
    }
    EXPECT_GE(placed, 6);
    EXPECT_GE(described, 6) << "the first upkeep pass asked every pilot for its aircraft";

    run.Run(600);
    EXPECT_FALSE(run.disconnected);
    EXPECT_FALSE(run.chat.empty()) << "pilots chat now and then";
    const ChatSendResult sent = SendChat(run.play.Play(), run.session.OwnPlayerId, "Hello pilots");
    EXPECT_TRUE(sent.Sent);
    const std::size_t before = run.chat.size();
    run.Run(10);
    EXPECT_GT(run.chat.size(), before) << "someone answers the controller";
    LeaveSession(run.session, run.play);
}

TEST(TrafficSimulator, PilotsFlyPlausiblyAndComeAndGo) {
    InProcessSessionHub hub;
    hub.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
    TrafficSimulator simulator(hub, Seattle(3, false));
    std::map<std::int32_t, SimulatedPilot> last;
    std::set<std::int32_t> seen;
    for (int second = 0; second <= 1200; ++second) {
        simulator.Advance(milliseconds(second * 1000));
        const auto pilots = simulator.Pilots();
        ASSERT_LE(pilots.size(), 12u);
        for (const SimulatedPilot& pilot : pilots) {
            seen.insert(pilot.Id);
            const FlightState& now = pilot.Flight;
            EXPECT_LE(now.SpeedKt, 300.5);
            EXPECT_GE(now.AltitudeFt, 0.0);
            if (auto before = last.find(pilot.Id); before != last.end() && second > 0) {
                const FlightState& then = before->second.Flight;
                const double metres =
                    std::hypot(now.Position.X - then.Position.X, now.Position.Y - then.Position.Y);
                EXPECT_LE(metres, 300.5 * 1852.0 / 3600.0 + 1.0) << pilot.Name;
                EXPECT_LE(std::abs(now.AltitudeFt - then.AltitudeFt), 3500.0 / 60.0 + 1.0) << pilot.Name;
                const double turn = std::abs(std::remainder(now.HeadingDeg - then.HeadingDeg, 360.0));
                EXPECT_LE(turn, then.OnGround || now.OnGround ? 15.5 : 3.5) << pilot.Name;
            }
        }
        last.clear();
        for (const SimulatedPilot& pilot : pilots) last[pilot.Id] = pilot;
    }
    EXPECT_GT(seen.size(), last.size()) << "some pilots left and others joined";
    EXPECT_EQ(last.count(simulator.HostId()), 1u) << "the host stays";
}

TEST(TrafficSimulator, PilotsNameTheRunwayAsTheSceneryDoes) {
    InProcessSessionHub hub;
    hub.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
    const std::int32_t listener = hub.AddPlayer("Listener");
    TrafficSimulatorSetup setup = Seattle(5, true);
    // True track 180, magnetic 164: the name is not the true track's.
    setup.Runways[0].Id1 = "16L";
    setup.Runways[0].Id2 = "34R";
    TrafficSimulator simulator(hub, setup);
    std::set<std::string> named;
    for (int second = 0; second <= 1800; ++second) {
        simulator.Advance(milliseconds(second * 1000));
        while (auto message = hub.Receive(listener)) {
            const std::string text(message->Bytes.begin(), message->Bytes.end());
            if (const auto at = text.find("runway "); at != std::string::npos)
                named.insert(text.substr(at + 7, 3));
        }
    }
    ASSERT_FALSE(named.empty()) << "nobody spoke of the runway";
    for (const std::string& name : named) EXPECT_TRUE(name == "16L" || name == "34R") << name;
}

TEST(TrafficSimulator, TheSameSeedAndTimesGiveTheSameSession) {
    auto positions = [](std::uint64_t seed) {
        InProcessSessionHub hub;
        hub.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
        TrafficSimulator simulator(hub, Seattle(seed, true));
        for (int ms = 0; ms <= 60'000; ms += 100) simulator.Advance(milliseconds(ms));
        std::vector<std::string> out;
        for (const SimulatedPilot& p : simulator.Pilots()) {
            out.push_back(p.Name + " " + std::to_string(p.Latitude) + " " +
                          std::to_string(p.Flight.AltitudeFt));
        }
        return out;
    };
    EXPECT_EQ(positions(11), positions(11));
    EXPECT_NE(positions(11), positions(12));
}

std::vector<std::int32_t> TypesReceived(InProcessSessionHub& hub, std::int32_t player) {
    std::vector<std::int32_t> types;
    while (auto message = hub.Receive(player)) {
        types.push_back(GameMessageType(DecodeGameMessage(message->Bytes)).value_or(0));
    }
    return types;
}

TEST(TrafficSimulator, RefusesOutsidersWhenToldSurvivesAnAskerThatLeftAndLeavesAsHost) {
    InProcessSessionHub hub;
    hub.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
    TrafficSimulatorSetup setup = Seattle(5, true);
    setup.Aircraft = 4;
    setup.RefuseJoins = true;
    TrafficSimulator simulator(hub, setup);
    simulator.Advance(milliseconds(0));
    EXPECT_EQ(simulator.Pilots().size(), 4u);

    const std::int32_t watcher = hub.AddPlayer("Watcher");
    const std::int32_t asker = hub.AddPlayer("Asker");
    hub.Send(watcher, kAllPlayers, Encode(MsgJoinRequest{}));
    hub.Send(asker, kAllPlayers, Encode(MsgIdentifyRequest{}));
    hub.RemovePlayer(asker);
    simulator.Advance(milliseconds(1000));
    const auto first = TypesReceived(hub, watcher);
    EXPECT_EQ(std::count(first.begin(), first.end(), MsgJoinRefuse::kType), 1);
    EXPECT_EQ(std::count(first.begin(), first.end(), MsgJoinAccept::kType), 0);

    simulator.Advance(milliseconds(2000));
    const auto later = TypesReceived(hub, watcher);
    EXPECT_GE(
        std::count_if(later.begin(), later.end(),
                      [](std::int32_t t) { return t == MsgPosition::kType || t == MsgPositionLong::kType; }),
        8)
        << "the pilots still report after answering a player that had left";

    simulator.HostLeaves();
    EXPECT_EQ(TypesReceived(hub, watcher), std::vector<std::int32_t>{MsgHostLeft::kType});
    EXPECT_EQ(hub.Players().size(), 1u);
    EXPECT_TRUE(simulator.Pilots().empty());
}

// The pilots of tarnwick-simpilots: the session's host is elsewhere, so they
// ask it to join and fly in once it accepts.
TEST(TrafficSimulator, WithTheHostElsewherePilotsAskToJoinAndArriveOnceAccepted) {
    InProcessSessionHub hub;
    hub.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
    const std::int32_t host = hub.AddPlayer("Host");
    TrafficSimulatorSetup setup = Seattle(9, true);
    setup.Aircraft = 3;
    setup.HostElsewhere = true;
    setup.ArrivalsOnly = true;
    TrafficSimulator simulator(hub, setup);
    EXPECT_TRUE(simulator.Pilots().empty()) << "nobody flies before the host accepts";
    EXPECT_EQ(simulator.HostId(), 0);
    EXPECT_TRUE(hub.Groups().empty()) << "the session's groups are the host's";
    int asked = 0;
    while (const auto message = hub.Receive(host)) {
        if (!std::holds_alternative<MsgJoinRequest>(DecodeGameMessage(message->Bytes))) continue;
        ++asked;
        hub.Send(host, message->From, Encode(MsgJoinAccept{message->From}));
    }
    EXPECT_EQ(asked, 3);

    simulator.Advance(milliseconds(0));
    simulator.Advance(milliseconds(1000));
    const auto before = simulator.Pilots();
    ASSERT_EQ(before.size(), 3u);
    simulator.Advance(milliseconds(5000));
    const auto after = simulator.Pilots();
    ASSERT_EQ(after.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(after[i].Kind, FlightKind::Arrival);
        EXPECT_FALSE(after[i].Flight.OnGround);
        EXPECT_NE(after[i].Latitude, before[i].Latitude) << after[i].Name << " is flying";
    }
}

// A session that is full takes the pilots that fit; the others are named,
// the ones in fly on, and no more are tried until one leaves. A pilot whose
// join request the host refuses leaves the session and is named too.
TEST(TrafficSimulator, WithTheHostElsewhereRefusedPilotsAreNamedAndTheOthersFlyOn) {
    InProcessSessionHub hub;
    hub.HostSession(kDemoSessionName, 4, kDemoApplicationGuid);
    const std::int32_t host = hub.AddPlayer("Host");
    TrafficSimulatorSetup setup = Seattle(9, true);
    setup.Aircraft = 5;
    setup.HostElsewhere = true;
    setup.ArrivalsOnly = true;
    TrafficSimulator simulator(hub, setup);
    const std::vector<RefusedPilot> refused = simulator.TakeRefused();
    ASSERT_EQ(refused.size(), 2u) << "the host and three pilots fill the session";
    for (const RefusedPilot& pilot : refused) {
        EXPECT_FALSE(pilot.Name.empty());
        EXPECT_EQ(pilot.Reason, "the session is full");
    }
    EXPECT_TRUE(simulator.TakeRefused().empty());
    std::vector<std::int32_t> askers;
    while (const auto message = hub.Receive(host))
        if (std::holds_alternative<MsgJoinRequest>(DecodeGameMessage(message->Bytes)))
            askers.push_back(message->From);
    ASSERT_EQ(askers.size(), 3u);

    hub.Send(host, askers[0], Encode(MsgJoinAccept{askers[0]}));
    hub.Send(host, askers[1], Encode(MsgJoinAccept{askers[1]}));
    hub.Send(host, askers[2], Encode(MsgJoinRefuse{}));
    simulator.Advance(milliseconds(0));
    simulator.Advance(milliseconds(60000));
    const std::vector<RefusedPilot> turnedAway = simulator.TakeRefused();
    ASSERT_EQ(turnedAway.size(), 1u) << "and nobody tried in its place";
    EXPECT_EQ(turnedAway[0].Reason, "the session's host refused the join request");
    EXPECT_FALSE(hub.HasPlayer(askers[2])) << "its machine left the session";
    EXPECT_EQ(simulator.Pilots().size(), 2u) << "the two let in fly";
    EXPECT_EQ(hub.Players().size(), 3u);
}

}  // namespace
}  // namespace tarnwick
