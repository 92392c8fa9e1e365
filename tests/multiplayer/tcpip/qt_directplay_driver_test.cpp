// The TCP/IP connection type on Qt's sockets and event loop, joining a host in
// this process over 127.0.0.1, and the addresses it remembers.
#include "multiplayer/tcpip/qt_directplay_driver.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "multiplayer/game/messages.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "multiplayer/tcpip/qt_address_history.h"

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
