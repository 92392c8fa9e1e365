// The TCP/IP connection type on Qt's sockets and event loop, joining a host in
// this process over 127.0.0.1, and the addresses it remembers.
#include "multiplayer/tcpip/qt_directplay_driver.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "multiplayer/game/messages.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "multiplayer/tcpip/qt_address_history.h"
#include "support/directplay_test_client.h"

namespace tarnwick {
namespace {

using directplay::Millis;

TEST(QtDirectPlayDriver, JoinsAHostAndExchangesMessagesOnTheEventLoop) {
    testing::LoopbackHost host;
    // The host runs on the same event loop the transport's waits run.
    QTimer hostTurns;
    QObject::connect(&hostTurns, &QTimer::timeout, [&] { host.Poll(); });
    hostTurns.start(2);

    DirectPlayTransportOptions options = testing::TransportOptionsFor(host);
    options.Driver = [](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<QtDirectPlayDriver>(peer, clock, directplay::kLoopbackAddress);
    };
    DirectPlayTransport transport(std::move(options));
    transport.InitializeConnection(1, testing::Answer("127.0.0.1"));
    const auto sessions = transport.EnumerateSessions();
    ASSERT_EQ(sessions.size(), 1u);
    transport.Open(sessions[0]);
    const std::int32_t own = transport.CreatePlayer("ATC Controller", "Player");
    ASSERT_NE(own, 0);
    EXPECT_EQ(transport.FriendlyName(static_cast<std::int32_t>(host.pilot)), "Sim One");

    transport.Send(own, kAllPlayers, Encode(MsgJoinRequest{}));
    ASSERT_TRUE(host.host.SendGameMessage(host.pilot, kAllPlayers, Encode(MsgIdentifyRequest{}), true));
    const Millis end = host.clock->Now() + Millis{2000};
    while ((transport.MessageCount(own) == 0 || host.Events<directplay::action::Deliver>().empty()) &&
           host.clock->Now() < end) {
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    }
    ASSERT_EQ(transport.MessageCount(own), 1);
    EXPECT_EQ(transport.Receive().Bytes, Encode(MsgIdentifyRequest{}));
    ASSERT_EQ(host.Events<directplay::action::Deliver>().size(), 1u);
    EXPECT_EQ(host.Events<directplay::action::Deliver>()[0].payload, Encode(MsgJoinRequest{}));

    transport.DestroyPlayer(own);
    transport.Close();
    const Millis leaving = host.clock->Now() + Millis{2000};
    while (host.host.Names().SystemPlayers().size() > 1 && host.clock->Now() < leaving) {
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    }
    EXPECT_EQ(host.host.Names().SystemPlayers().size(), 1u) << "the host saw this computer leave";
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
    transport.InitializeConnection(1, testing::Answer("127.0.0.1"));
    const auto sessions = transport.EnumerateSessions();
    ASSERT_EQ(sessions.size(), 1u);
    transport.Open(sessions[0]);
    ASSERT_NE(transport.CreatePlayer("ATC Controller", "Player"), 0);

    host.host.Leave();
    const auto turn = [] {
        QEventLoop idle;
        QTimer::singleShot(2, &idle, &QEventLoop::quit);
        idle.exec();
    };
    const auto hosting = [&] {
        transport.SessionLost();  // takes in the notes
        return std::any_of(notes.begin(), notes.end(), [](const std::string& note) {
            return note.find("hosts the session now") != std::string::npos;
        });
    };
    for (const Millis end = host.clock->Now() + Millis{2000}; !hosting() && host.clock->Now() < end;) turn();
    ASSERT_TRUE(hosting());
    testing::DirectPlayTestClient late(host.ClientConfig().enumeration_port, turn, kOwnAddress + 1);
    ASSERT_TRUE(late.Join("Late", kOwnAddress)) << "found and joined through this computer";
    const auto lateId = static_cast<std::int32_t>(late.Client().OwnPlayer());
    const auto knowsLate = [&] {
        const auto players = transport.Players();
        return std::any_of(players.begin(), players.end(), [&](const auto& p) { return p.Id == lateId; });
    };
    for (const Millis end = host.clock->Now() + Millis{2000}; !knowsLate() && host.clock->Now() < end;) {
        turn();
        late.Turn();
    }
    EXPECT_FALSE(transport.SessionLost());
    EXPECT_EQ(transport.FriendlyName(lateId), "Late");
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
