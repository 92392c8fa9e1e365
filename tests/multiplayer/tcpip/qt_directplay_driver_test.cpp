// The TCP/IP connection type on Qt's sockets and event loop, joining a host in
// this process over 127.0.0.1, and the addresses it remembers.
#include "multiplayer/tcpip/qt_directplay_driver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "multiplayer/game/messages.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "multiplayer/tcpip/qt_address_history.h"
#include "support/directplay_test_client.h"

namespace tarnwick {
namespace {

using directplay::Millis;

// One turn of the program's event loop, then a breath.
void Turn() {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Runs the event loop until `done` or the sockets' deadline.
template <typename Done>
bool Eventually(Done done) {
    for (const auto end = testing::SocketDeadlineFromNow(); !done(); Turn())
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

// Connects at 127.0.0.1, finds the one session there and joins it, turning
// the event loop while each step is under way.
void JoinTheOneSession(DirectPlayTransport& transport) {
    transport.StartInitializeConnection(1);
    ASSERT_TRUE(testing::Complete(transport, testing::Answer("127.0.0.1"), Turn));
    transport.StartEnumerateSessions();
    ASSERT_TRUE(testing::Complete(transport, {}, Turn));
    const auto sessions = transport.FoundSessions();
    ASSERT_EQ(sessions.size(), 1u);
    transport.StartOpen(sessions[0]);
    ASSERT_TRUE(testing::Complete(transport, {}, Turn));
    transport.StartCreatePlayer("ATC Controller", "Player");
    ASSERT_TRUE(testing::Complete(transport, {}, Turn));
}

TEST(QtDirectPlayDriver, JoinsAHostAndExchangesMessagesOnTheEventLoop) {
    testing::LoopbackHost host;
    // The host runs on the same event loop as the driver.
    QTimer hostTurns;
    QObject::connect(&hostTurns, &QTimer::timeout, [&] { host.Poll(); });
    hostTurns.start(2);

    DirectPlayTransportOptions options = testing::TransportOptionsFor(host);
    options.Driver = [](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<QtDirectPlayDriver>(peer, clock, directplay::kLoopbackAddress);
    };
    DirectPlayTransport transport(std::move(options));
    ASSERT_NO_FATAL_FAILURE(JoinTheOneSession(transport));
    const std::int32_t own = transport.CreatedPlayer();
    ASSERT_NE(own, 0);
    EXPECT_EQ(transport.FriendlyName(static_cast<std::int32_t>(host.pilot)), "Sim One");

    transport.Send(own, kAllPlayers, Encode(MsgJoinRequest{}));
    ASSERT_TRUE(host.host.SendGameMessage(host.pilot, kAllPlayers, Encode(MsgIdentifyRequest{}), true));
    ASSERT_TRUE(Eventually([&] {
        return transport.MessageCount(own) > 0 && !host.Events<directplay::action::Deliver>().empty();
    }));
    ASSERT_EQ(transport.MessageCount(own), 1);
    EXPECT_EQ(transport.Receive().Bytes, Encode(MsgIdentifyRequest{}));
    ASSERT_EQ(host.Events<directplay::action::Deliver>().size(), 1u);
    EXPECT_EQ(host.Events<directplay::action::Deliver>()[0].payload, Encode(MsgJoinRequest{}));

    transport.DestroyPlayer(own);
    transport.Close();
    EXPECT_TRUE(Eventually([&] { return host.host.Names().SystemPlayers().size() == 1; }))
        << "the host saw this computer leave";
}

TEST(QtDirectPlayDriver, APumpNeverRunsTheEventLoop) {
    testing::LoopbackHost host;
    directplay::DirectPlayClient client(host.ClientConfig(), *host.clock);
    QtDirectPlayDriver driver(client, *host.clock, directplay::kLoopbackAddress);
    client.Start();
    driver.Pump(Millis{0});
    EXPECT_TRUE(client.SocketsOpen()) << "what the machine asked for is done";
    driver.TakeEvents();
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    driver.Pump(Millis{1000});
    EXPECT_FALSE(timerRan) << "a timer due meanwhile waits for the program's own event loop";
    Eventually([&] { return timerRan; });
}

// This computer's address: the old host keeps its enumeration port on 127.0.0.1.
constexpr std::uint32_t kOwnAddress = directplay::kLoopbackAddress + 1;

// When the host of a MIGRATEHOST session leaves and this computer is first in
// line, the driver opens the enumeration port on the event loop, and a late
// machine finds the session and joins through it.
TEST(QtDirectPlayDriver, OpensTheEnumerationPortWhenThisComputerTakesOver) {
    // Ids grow with every machine: this computer, joining first, is next in line.
    testing::LoopbackHost host(directplay::session_flags::kMigrateHost, 0);
    QTimer hostTurns;
    QObject::connect(&hostTurns, &QTimer::timeout, [&] { host.Poll(); });
    hostTurns.start(2);
    DirectPlayTransportOptions options = testing::TransportOptionsFor(host);
    options.Driver = [](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<QtDirectPlayDriver>(peer, clock, kOwnAddress);
    };
    std::vector<std::string> notes;
    options.Log = [&](const std::string& note) { notes.push_back(note); };
    DirectPlayTransport transport(std::move(options));
    ASSERT_NO_FATAL_FAILURE(JoinTheOneSession(transport));

    host.host.Leave();
    ASSERT_TRUE(Eventually([&] {
        transport.SessionLost();  // takes in the notes
        return std::ranges::any_of(notes, [](const std::string& note) {
            return note.find("hosts the session now") != std::string::npos;
        });
    }));
    testing::DirectPlayTestClient late(host.ClientConfig().enumeration_port, Turn, kOwnAddress + 1);
    ASSERT_TRUE(late.Join("Late", kOwnAddress)) << "found and joined through this computer";
    const auto lateId = static_cast<std::int32_t>(late.Client().OwnPlayer());
    EXPECT_TRUE(Eventually([&] {
        late.Turn();
        return std::ranges::any_of(transport.Players(),
                                   [&](const SessionMember& p) { return p.Id == lateId; });
    })) << "the late machine's player reached this computer";
    EXPECT_FALSE(transport.SessionLost());
}

TEST(QtAddressHistory, KeepsTheMostRecentFirstWithoutRepeatsInTheUserConfiguration) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QtAddressHistory history;
    EXPECT_TRUE(history.Recent().empty());
    for (const char* address : {"192.168.1.20", "fs-host", "192.168.1.20"}) history.Remember(address);
    EXPECT_EQ(QtAddressHistory().Recent(), (std::vector<std::string>{"192.168.1.20", "fs-host"}));
    EXPECT_TRUE(QFile::exists(config.path() + "/Tarnwick/Tarnwick.conf"));
}

}  // namespace
}  // namespace tarnwick
