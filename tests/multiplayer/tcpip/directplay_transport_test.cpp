// The TCP/IP connection type against a DirectPlay host in this process, over
// real sockets on 127.0.0.1.
#include "multiplayer/tcpip/directplay_transport.h"

#include <gtest/gtest.h>

#include "geo/declination_grid.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/session_link.h"
#include "multiplayer/tcpip/address_history.h"
#include "multiplayer/tcpip/host_resolver_stub.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "support/directplay_test_client.h"
#include "support/foreign_name_server.h"

namespace tarnwick {
namespace {

using directplay::Millis;
using testing::Answer;
using testing::Complete;
using testing::Locate;
using testing::LoopbackHost;
using testing::TransportOptionsFor;

// Polls through the transport until `done` or the sockets' deadline.
template <typename Done>
bool Eventually(LoopbackHost& host, SessionTransport& transport, Done done) {
    for (const auto end = testing::SocketDeadlineFromNow(); !done();) {
        if (std::chrono::steady_clock::now() >= end) return false;
        transport.SessionLost();  // pumps
        host.Poll();
    }
    return true;
}

class DirectPlayTransportTest : public ::testing::Test {
   protected:
    // Located and joined with a player named `nickname`.
    std::int32_t Join(const std::string& nickname = "ATC Controller") {
        const auto sessions = Locate(transport, " 127.0.0.1 ");
        EXPECT_EQ(sessions.size(), 1u);
        if (sessions.empty()) return 0;
        EXPECT_EQ(SessionLine(sessions[0]), "Loopback (1/16)");
        transport.StartOpen(sessions[0]);
        EXPECT_TRUE(Complete(transport));
        transport.StartCreatePlayer(nickname, "Player");
        EXPECT_TRUE(Complete(transport));
        return transport.CreatedPlayer();
    }

    LoopbackHost host;
    DirectPlayTransport transport{TransportOptionsFor(host)};
};

TEST_F(DirectPlayTransportTest, JoinsExchangesMessagesBothWaysAndLeaves) {
    const std::int32_t own = Join();
    ASSERT_NE(own, 0);
    const auto pilot = static_cast<std::int32_t>(host.pilot);
    EXPECT_EQ(transport.FriendlyName(own), "ATC Controller");
    EXPECT_EQ(transport.FriendlyName(pilot), "Sim One");
    const auto players = transport.Players();
    EXPECT_EQ(players.size(), 2u) << "visible players only, the program's own among them";
    EXPECT_TRUE(std::any_of(players.begin(), players.end(), [&](auto& p) { return p.Id == own; }));

    const auto groups = transport.Groups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].ShortName, kRefuseParamsGroup);
    transport.AddPlayerToGroup(groups[0].Id, own);
    EXPECT_THROW(transport.AddPlayerToGroup(groups[0].Id, pilot), SessionError) << "not ours to move";

    transport.Send(own, kAllPlayers, Encode(MsgJoinRequest{}));
    ASSERT_TRUE(Eventually(host, transport, [&] {
        return !host.Events<directplay::action::Deliver>().empty() &&
               host.host.Names().FindGroup(host.group)->members.size() == 1;
    }));
    EXPECT_EQ(host.Events<directplay::action::Deliver>().at(0).payload, Encode(MsgJoinRequest{}));

    ASSERT_TRUE(host.host.SendGameMessage(host.pilot, static_cast<directplay::PlayerId>(own),
                                          Encode(MsgJoinAccept{own}), true));
    ASSERT_TRUE(host.host.SendGameMessage(host.pilot, kAllPlayers, Encode(MsgIdentifyRequest{}), false));
    ASSERT_TRUE(Eventually(host, transport, [&] { return transport.MessageCount(own) == 2; }));
    std::vector<std::vector<std::uint8_t>> received;
    for (int i = 0; i < 2; ++i) {
        const ReceivedMessage message = transport.Receive();
        EXPECT_EQ(message.From, pilot);
        EXPECT_EQ(message.To, own);
        received.push_back(message.Bytes);
    }
    std::sort(received.begin(), received.end());  // TCP and UDP may overtake each other
    EXPECT_EQ(received, (std::vector<std::vector<std::uint8_t>>{Encode(MsgJoinAccept{own}),
                                                                Encode(MsgIdentifyRequest{})}));
    EXPECT_THROW(transport.Receive(), SessionError);

    transport.DestroyPlayer(own);
    transport.Close();
    EXPECT_FALSE(transport.SessionLost()) << "leaving is not losing";
    ASSERT_TRUE(Eventually(host, transport, [&] { return host.host.Names().SystemPlayers().size() == 1; }));
    const auto gone = host.Events<directplay::action::PlayerDestroyed>();
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(static_cast<std::int32_t>(gone[0].id), own);
}

// DirectPlay announces the players that come into the session once it is
// open, each once; those its name table brought at the join are not news.
TEST_F(DirectPlayTransportTest, PlayersThatComeLaterAreAnnouncedOnce) {
    ASSERT_NE(Join(), 0);
    EXPECT_TRUE(transport.TakeArrivedPlayers().empty()) << "the host's pilot was there before";
    testing::DirectPlayTestClient late(
        host.ClientConfig().enumeration_port,
        [&] {
            host.Poll();
            transport.SessionLost();  // pumps
        },
        directplay::kLoopbackAddress + 3);
    ASSERT_TRUE(late.Join("Late"));
    std::vector<std::int32_t> arrived;
    ASSERT_TRUE(Eventually(host, transport, [&] {
        late.Turn();  // its player's creation goes out
        for (const std::int32_t player : transport.TakeArrivedPlayers()) arrived.push_back(player);
        return !arrived.empty();
    }));
    EXPECT_EQ(arrived, (std::vector<std::int32_t>{static_cast<std::int32_t>(late.Client().OwnPlayer())}));
    EXPECT_TRUE(transport.TakeArrivedPlayers().empty());
}

TEST_F(DirectPlayTransportTest, AHostThatLeavesLosesTheSession) {
    const std::int32_t own = Join();
    ASSERT_NE(own, 0);
    EXPECT_FALSE(transport.SessionLost());
    host.host.Leave();
    ASSERT_TRUE(Eventually(host, transport, [&] { return transport.SessionLost(); }));
    EXPECT_THROW(transport.MessageCount(own), SessionError);
}

TEST(DirectPlayTransport, AHostThatNeverAnswersFailsTheJoinOnceTheReplyTimeHasPassed) {
    LoopbackHost host;
    auto options = TransportOptionsFor(host);
    // Far longer than any hold-up of the test: only the clock ends the wait.
    options.Client.reply_timeout = options.Client.name_table_timeout = Millis{20000};
    DirectPlayTransport transport(options);
    const auto sessions = Locate(transport, "127.0.0.1");
    ASSERT_EQ(sessions.size(), 1u);
    host.running = false;  // as if a firewall kept its connection back out
    transport.StartOpen(sessions[0]);
    EXPECT_EQ(transport.Advance(), Progress::Working) << "the join starts and returns";
    host.clock->Jump(Millis{10000});
    EXPECT_EQ(transport.Advance(), Progress::Working);
    host.clock->Jump(Millis{10500});
    try {
        transport.Advance();
        FAIL() << "joined a silent host";
    } catch (const SessionError& error) {
        EXPECT_NE(error.Advice().find("inbound TCP ports 2300-2349"), std::string::npos) << error.Advice();
    }
}

TEST(DirectPlayTransport, AHostNameIsLookedUpWithoutWaiting) {
    LoopbackHost host;
    auto resolver = std::make_shared<testing::HostResolverStub>();
    auto options = TransportOptionsFor(host);
    options.Resolver = resolver;
    DirectPlayTransport transport(options);
    transport.StartInitializeConnection(1);
    ASSERT_EQ(transport.Advance(), Progress::Asking);
    transport.Answer(" fs-host ");
    for (int turn = 0; turn < 3; ++turn) EXPECT_EQ(transport.Advance(), Progress::Working);
    EXPECT_EQ(resolver->asked, (std::vector<std::string>{"fs-host"}));
    resolver->Answer("fs-host", directplay::kLoopbackAddress);
    ASSERT_TRUE(Complete(transport));
    transport.StartEnumerateSessions();
    ASSERT_TRUE(Complete(transport));
    EXPECT_EQ(transport.FoundSessions().size(), 1u) << "the search asks the address the name stands for";
}

TEST(DirectPlayTransport, PromptOffersRecentAddressesAndACancelOrUnknownHostFails) {
    struct Remembered : AddressHistory {
        std::vector<std::string> Recent() const override { return list; }
        void Remember(std::string_view address) override { list = WithRecentAddress(list, address); }
        std::vector<std::string> list{"10.0.0.9"};
    };
    LoopbackHost host;
    auto history = std::make_shared<Remembered>();
    auto resolver = std::make_shared<testing::HostResolverStub>();
    resolver->Answer("no-such-host.invalid", std::nullopt);
    auto options = TransportOptionsFor(host);
    options.History = history;
    options.Resolver = resolver;
    {
        DirectPlayTransport transport(options);
        transport.StartInitializeConnection(1);
        ProviderQuestion asked;
        EXPECT_THROW(Complete(transport,
                              [&](const ProviderQuestion& question) {
                                  asked = question;
                                  return std::nullopt;
                              }),
                     SessionError);
        EXPECT_EQ(asked.Suggestions, history->list);
        EXPECT_EQ(asked.DefaultAnswer, "10.0.0.9");
    }
    {
        DirectPlayTransport transport(options);
        transport.StartInitializeConnection(1);
        try {
            Complete(transport, Answer("no-such-host.invalid"));
            FAIL() << "an unknown name was accepted";
        } catch (const SessionError& error) {
            EXPECT_NE(error.Advice().find("no-such-host.invalid"), std::string::npos);
        }
    }
    DirectPlayTransport transport(options);
    ASSERT_EQ(Locate(transport, "127.0.0.1").size(), 1u);
    EXPECT_EQ(history->list, (std::vector<std::string>{"127.0.0.1", "10.0.0.9"}))
        << "an address that found a session is offered first next time";
}

// The program's session objects over the TCP/IP connection type to `host`,
// driven as the connection window drives them.
struct ProgramJoining {
    explicit ProgramJoining(LoopbackHost& served)
        : host(served), play{[&served] {
              return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({}, [&served] {
                  return std::make_unique<DirectPlayTransport>(TransportOptionsFor(served));
              }));
          }} {
        connection.Load();
    }
    // Locates the host's session and joins it; true once the host accepts.
    bool Join() {
        Complete(connection, connection.LocateSession(0), Answer("127.0.0.1"));
        if (connection.SessionLines().size() != 1) return false;
        Complete(connection, connection.JoinSession(0, "ATC Controller"));
        return Eventually(host, play.Play(), [&] { return connection.WaitForAcceptance().OpenRadar; });
    }

    LoopbackHost& host;
    SessionState session;
    PlayObjects play;
    SessionConnection connection{session, play};
};

// The connection window's logic over the TCP/IP type: the window's own
// messages, with the reason underneath.
TEST(DirectPlayTransport, TheConnectionWindowNamesTheReasonForARefusedSession) {
    LoopbackHost host(directplay::session_flags::kDirectPlayProtocol);
    ProgramJoining program(host);
    SessionConnection& connection = program.connection;

    auto messages = Complete(connection, connection.LocateSession(0), Answer(std::nullopt));
    EXPECT_EQ(messages,
              (std::vector<UserMessage>{{"Error, canceled connection. Try to locate session again."}}));

    messages = Complete(connection, connection.LocateSession(0), Answer("127.0.0.1"));
    EXPECT_EQ(messages, std::vector<UserMessage>{});
    ASSERT_EQ(connection.SessionLines().size(), 1u);
    messages = Complete(connection, connection.JoinSession(0, "ATC Controller"));
    ASSERT_TRUE(messages);
    ASSERT_EQ(messages->size(), 1u);
    EXPECT_EQ(
        messages->at(0).Text,
        "Failed to join game. Try to locate session again.\n"
        "The session uses the DirectPlay reliable protocol (DIRECTPLAYPROTOCOL), which Tarnwick does not "
        "support yet.");
    EXPECT_EQ(connection.Status(), kStatusDisconnected);
}

// A host whose id key has the top bit set hands out ids that are negative as
// signed numbers: the join and the message handling take them as any other.
TEST(DirectPlayTransport, NegativeIdsJoinAndTheirMessagesAreHandled) {
    LoopbackHost host(0, 0xC3A17C0D);
    host.answering = true;
    const auto pilot = static_cast<std::int32_t>(host.pilot);
    ASSERT_LT(pilot, 0);
    ProgramJoining program(host);
    ASSERT_TRUE(program.Join());
    SessionState& session = program.session;
    PlayObjects& play = program.play;
    ASSERT_LT(session.OwnPlayerId, 0);

    const auto grid = std::make_unique<DeclinationGrid>();
    SessionLink link(session, play.Play(), *grid);
    link.Start();
    ASSERT_TRUE(Eventually(host, play.Play(), [&] {
        link.ReceiveTick();
        return session.Traffic.PlayerCount() == 2;
    }));
    EXPECT_EQ(session.Traffic[1].PlayerId, pilot);
    ASSERT_TRUE(host.host.SendGameMessage(host.pilot, kAllPlayers,
                                          Encode(MsgPosition{{1024, 10001750 / 2, 0, 300}}), true));
    ASSERT_TRUE(Eventually(host, play.Play(), [&] { return link.ReceiveTick().TrafficChanged; }));
    EXPECT_EQ(session.Traffic[1].Latitude, 45.0);
    link.MaintenanceTick();
    EXPECT_TRUE(Eventually(host, play.Play(), [&] {
        const auto got = host.Events<directplay::action::Deliver>();
        return std::any_of(got.begin(), got.end(),
                           [](const auto& m) { return m.payload == Encode(MsgAircraftInfoRequest{}); });
    })) << "the upkeep pass asked the pilot for its aircraft";
}

// The host of a MIGRATEHOST session leaves; a pilot's machine, first in line,
// takes over at the DirectPlay level while the program hosts the game: it
// stays, answers a late pilot's join request, and its upkeep puts the late
// pilot on the table.
TEST(DirectPlayTransport, TheSessionOutlivesItsHostAndALatePilotJoinsThroughTheNewHost) {
    // Ids shrink with every machine: the pilot, joining after the program, is first in line.
    LoopbackHost host(directplay::session_flags::kMigrateHost, 0xFFFFFFFF);
    host.answering = true;
    ProgramJoining program(host);
    ASSERT_TRUE(program.Join());
    SessionState& session = program.session;
    PlayObjects& play = program.play;

    const auto grid = std::make_unique<DeclinationGrid>();
    SessionLink link(session, play.Play(), *grid);
    std::vector<UserMessage> told;
    std::unique_ptr<testing::DirectPlayTestClient> late;
    const std::uint16_t port = host.ClientConfig().enumeration_port;
    testing::DirectPlayTestClient pilot(
        port, [&] { play.Play().SessionLost(); }, directplay::kLoopbackAddress + 2);
    const auto turn = [&] {
        host.Poll();
        const LinkEvents events = link.ReceiveTick();
        told.insert(told.end(), events.Messages.begin(), events.Messages.end());
        pilot.Turn();
        if (late) late->Turn();
    };
    const auto eventually = [&](const std::function<bool()>& done) {
        for (const Millis end = host.clock->Now() + Millis{3000}; !done() && host.clock->Now() < end;) turn();
        return done();
    };
    ASSERT_TRUE(pilot.Join("Pilot"));
    const auto answersIdentification = [](testing::DirectPlayTestClient& machine) {
        machine.Send(Encode(MsgJoinAccept{static_cast<std::int32_t>(machine.Client().OwnPlayer())}));
    };
    link.Start();
    answersIdentification(pilot);
    ASSERT_TRUE(eventually([&] { return session.Traffic.PlayerCount() == 3; }));

    host.host.SendGameMessage(host.pilot, kAllPlayers, Encode(MsgHostLeft{}), true);
    host.host.Leave();
    ASSERT_TRUE(eventually([&] { return session.IsHosting && pilot.Client().Serving(); }));
    EXPECT_EQ(told, (std::vector<UserMessage>{
                        {"The original host had left the session, Tarnwick is now hosting the session."}}));
    EXPECT_FALSE(play.Play().SessionLost());
    EXPECT_EQ(session.Traffic.PlayerCount(), 2) << "the host's pilot went with it";

    late = std::make_unique<testing::DirectPlayTestClient>(port, turn, directplay::kLoopbackAddress + 3);
    ASSERT_TRUE(late->Join("Late", directplay::kLoopbackAddress + 2))
        << "found and joined through the new host";
    late->Send(Encode(MsgJoinRequest{}));
    ASSERT_TRUE(eventually([&] { return late->GotGame(MsgJoinAccept::kType); })) << "the program answered";
    link.MaintenanceTick();
    ASSERT_TRUE(eventually([&] { return late->GotGame(MsgIdentifyRequest::kType); }));
    answersIdentification(*late);
    EXPECT_TRUE(eventually([&] { return session.Traffic.PlayerCount() == 3; }))
        << "the late pilot is on the table";
    EXPECT_EQ(told.size(), 1u) << "and the session was never lost";
}

// The host of a MIGRATEHOST session leaves and a pilot's machine that is not
// this program's takes over: its name server tells the program's machine of a
// late pilot as a Windows host does (testing::ForeignNameServer). The late
// pilot joins through it, asks the program (hosting the game) to let it in,
// and reports its position by UDP as FS2002 does: the program hears the
// reports, asks the pilot who it is, and has it on the table with its
// position on the session's clock as it was, without an upkeep pass.
TEST(DirectPlayTransport, ALatePilotThroughANameServerNotOursIsOnTheTableFromItsReports) {
    LoopbackHost host(directplay::session_flags::kMigrateHost, 0xFFFFFFFF);
    host.answering = true;
    ProgramJoining program(host);
    ASSERT_TRUE(program.Join());
    SessionState& session = program.session;
    SessionTransport& play = program.play.Play();

    const auto grid = std::make_unique<DeclinationGrid>();
    const std::chrono::milliseconds linkTime{50000};  // the link's clock stands still
    SessionLink link(session, play, *grid, [&] { return linkTime; });
    std::unique_ptr<testing::DirectPlayTestClient> late;
    const std::uint16_t port = host.ClientConfig().enumeration_port;
    const auto foreign = [](const directplay::ClientConfig& config, const directplay::Clock& clock) {
        return std::make_unique<testing::ForeignNameServer>(config, clock);
    };
    testing::DirectPlayTestClient pilot(
        port, [&] { play.SessionLost(); }, directplay::kLoopbackAddress + 2, foreign);
    bool answered = false;
    const MessageBytes report = Encode(MsgPosition{{1024, 10001750 / 2, 0, 300}});
    const auto turn = [&] {
        host.Poll();
        link.ReceiveTick();
        pilot.Turn();
        if (!late) return;
        late->Turn();
        if (!late->Client().OwnPlayer()) return;
        late->Send(report, false);
        if (!answered && late->GotGame(MsgIdentifyRequest::kType)) {
            answered = true;
            late->Send(Encode(MsgJoinAccept{static_cast<std::int32_t>(late->Client().OwnPlayer())}));
        }
    };
    const auto eventually = [&](const std::function<bool()>& done) {
        for (const Millis end = host.clock->Now() + Millis{3000}; !done() && host.clock->Now() < end;) turn();
        return done();
    };
    ASSERT_TRUE(pilot.Join("Pilot"));
    link.Start();
    pilot.Send(Encode(MsgJoinAccept{static_cast<std::int32_t>(pilot.Client().OwnPlayer())}));
    ASSERT_TRUE(eventually([&] { return session.Traffic.PlayerCount() == 3; }));
    host.host.SendGameMessage(host.pilot, kAllPlayers, Encode(MsgHostLeft{}), true);
    host.host.Leave();
    ASSERT_TRUE(eventually([&] { return session.IsHosting && pilot.Client().Serving(); }));

    late = std::make_unique<testing::DirectPlayTestClient>(port, turn, directplay::kLoopbackAddress + 3);
    ASSERT_TRUE(late->Join("Late", directplay::kLoopbackAddress + 2)) << "joined through the pilot's machine";
    EXPECT_EQ(static_cast<testing::ForeignNameServer&>(pilot.Client()).Acknowledged(), 1)
        << "the program's machine was told of the late one";
    late->Send(Encode(MsgJoinRequest{}));
    const auto late_id = static_cast<std::int32_t>(late->Client().OwnPlayer());
    const auto placed = [&] {
        const auto& entries = session.Traffic.Entries();
        return std::any_of(entries.begin(), entries.end(), [&](const PlayerRecord& e) {
            return e.PlayerId == late_id && e.Latitude == 45.0;
        });
    };
    ASSERT_TRUE(eventually(placed)) << "on the table, where its reports by UDP put it";
    EXPECT_TRUE(late->GotGame(MsgJoinAccept::kType)) << "let in by the program";
    EXPECT_FALSE(play.SessionLost());
}

TEST(AddressHistory, MostRecentFirstWithoutRepeatsAndBounded) {
    std::vector<std::string> recent;
    for (const char* address : {"a", "b", "a", "  ", "c"}) recent = WithRecentAddress(recent, address, 2);
    EXPECT_EQ(recent, (std::vector<std::string>{"c", "a"}));
}

}  // namespace
}  // namespace tarnwick
