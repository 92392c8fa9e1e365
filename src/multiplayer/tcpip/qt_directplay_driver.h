#pragma once
// Runs a DirectPlay state machine on the program's event loop with Qt's
// sockets: whatever arrives feeds the machine at once and its answers go out
// at once, so pings and acknowledgements never wait for the program to ask.
// It never waits itself: Pump only hands over what the event loop brought.
#include <QObject>
#include <QTimer>
#include <map>
#include <utility>

#include "multiplayer/directplay/peer_driver.h"
#include "multiplayer/directplay/session_peer.h"
#include "multiplayer/service_providers.h"
#include "multiplayer/tcpip/directplay_transport.h"

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

namespace tarnwick {

class QtDirectPlayDriver final : public directplay::PeerDriver {
   public:
    // bindIp: the local address to bind (0: every interface).
    QtDirectPlayDriver(directplay::SessionPeer& peer, const directplay::Clock& clock, std::uint32_t bindIp);
    ~QtDirectPlayDriver() override;
    QtDirectPlayDriver(const QtDirectPlayDriver&) = delete;
    QtDirectPlayDriver& operator=(const QtDirectPlayDriver&) = delete;

    // Never waits: the event loop does, and `maxWait` is its business.
    void Pump(directplay::Millis maxWait) override;
    std::vector<directplay::Action> TakeEvents() override { return std::exchange(events_, {}); }
    bool Sending() const override;

   private:
    struct Stream {
        QTcpSocket* socket = nullptr;
        bool closing = false;
    };
    // Carries out what the machine asked for and re-arms its timer.
    void Settle();
    void RunActions();
    void Perform(directplay::Action& action);
    void OpenSockets(const directplay::action::OpenSockets& request);
    // Binds the enumeration port on UDP and TCP; whether the UDP socket is bound.
    bool OpenEnumeration(std::uint16_t port);
    void Connect(const directplay::action::Connect& request);
    void Watch(directplay::ConnectionId id, QTcpSocket* socket);
    void Accept(QTcpServer* server);
    void ReadStream(directplay::ConnectionId id);
    void ReadDatagrams(QUdpSocket* socket);
    // Closes our side once what was written has gone.
    void CloseWhenWritten(directplay::ConnectionId id);
    void Forget(directplay::ConnectionId id, bool tellPeer);

    // Parent of every socket and the timer; the last to go.
    QObject owner_;
    directplay::SessionPeer& peer_;
    const directplay::Clock& clock_;
    std::uint32_t bindIp_;
    QTcpServer* listener_ = nullptr;
    QUdpSocket* udp_ = nullptr;
    QUdpSocket* enumerationUdp_ = nullptr;
    QTcpServer* enumerationTcp_ = nullptr;
    QTimer* deadline_;
    std::map<directplay::ConnectionId, Stream> streams_;
    std::vector<directplay::Action> events_;
    bool runningActions_ = false;
};

// Transports for the windows: on the event loop, DirectPlay's own ports, and
// the addresses typed before kept in the user's configuration.
TransportFactory QtTcpIpTransports();

}  // namespace tarnwick
