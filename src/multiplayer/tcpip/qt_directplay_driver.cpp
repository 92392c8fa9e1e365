#include "multiplayer/tcpip/qt_directplay_driver.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <utility>

#include <sys/socket.h>

#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/tcpip/port_mapper.h"
#include "multiplayer/tcpip/qt_address_history.h"
#include "multiplayer/tcpip/qt_port_mapping_setting.h"

namespace tarnwick {
namespace {

using directplay::ConnectionId;
using directplay::Endpoint;
using directplay::Millis;
using directplay::PortRange;
namespace action = directplay::action;

Endpoint EndpointOf(const QHostAddress& address, quint16 port) {
    bool ipv4 = false;
    const quint32 ip = address.toIPv4Address(&ipv4);
    return {ipv4 ? ip : 0u, port};
}

// The first port of the range the server can listen on, or false.
bool ListenInRange(QTcpServer& server, const QHostAddress& address, PortRange range) {
    // Every machine of a large session may connect at once, e.g. all pilots
    // answering the identification request the radar window sends on load.
    server.setListenBacklogSize(SOMAXCONN);
    for (std::uint32_t port = range.first; port <= range.last; ++port)
        if (server.listen(address, static_cast<quint16>(port))) return true;
    return false;
}

bool BindInRange(QUdpSocket& socket, const QHostAddress& address, PortRange range) {
    for (std::uint32_t port = range.first; port <= range.last; ++port)
        if (socket.bind(address, static_cast<quint16>(port))) return true;
    return false;
}

// How long the connections of a driver that went may take to send their last bytes.
constexpr int kLingerMs = 1000;

// Bytes wait to go out, or the connection that is to carry them is opening.
bool StillSending(const QTcpSocket& socket) {
    return socket.bytesToWrite() > 0 || socket.state() == QAbstractSocket::ConnectingState ||
           socket.state() == QAbstractSocket::HostLookupState;
}

// Leaves a connection that still has bytes to send to the event loop, which
// closes it once they have gone.
void LetFinish(QTcpSocket* socket) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!StillSending(*socket) || application == nullptr) return;
    // The application deletes what is still there when it ends.
    socket->setParent(application);
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    QTimer::singleShot(kLingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->disconnectFromHost();
}

std::string RangeText(PortRange range) {
    return std::to_string(range.first) + "-" + std::to_string(range.last);
}

}  // namespace

QtDirectPlayDriver::QtDirectPlayDriver(directplay::SessionPeer& peer, const directplay::Clock& clock,
                                       std::uint32_t bindIp)
    : peer_(peer), clock_(clock), bindIp_(bindIp), deadline_(new QTimer(&owner_)) {
    deadline_->setSingleShot(true);
    QObject::connect(deadline_, &QTimer::timeout, &owner_, [this] {
        peer_.OnTimer();
        Settle();
    });
}

QtDirectPlayDriver::~QtDirectPlayDriver() {
    // Sockets going away must not call back into a driver that is going too.
    for (QObject* child : owner_.children()) QObject::disconnect(child, nullptr, &owner_, nullptr);
    // Leaving a session sends the machine's last messages: they go out after
    // the driver, without anyone waiting for them.
    for (auto& [id, stream] : streams_) LetFinish(stream.socket);
}

void QtDirectPlayDriver::Pump(Millis) { Settle(); }

bool QtDirectPlayDriver::Sending() const {
    return std::any_of(streams_.begin(), streams_.end(), [](const auto& entry) {
        return entry.second.closing || StillSending(*entry.second.socket);
    });
}

void QtDirectPlayDriver::Settle() {
    RunActions();
    if (const auto next = peer_.NextDeadline()) {
        const auto wait = std::clamp<Millis::rep>((*next - clock_.Now()).count(), 0, 60000);
        deadline_->start(static_cast<int>(wait));
    } else {
        deadline_->stop();
    }
}

void QtDirectPlayDriver::RunActions() {
    // A socket may report at once while an action is carried out; the loop
    // below picks up whatever that added.
    if (runningActions_) return;
    runningActions_ = true;
    for (auto actions = peer_.TakeActions(); !actions.empty(); actions = peer_.TakeActions())
        for (auto& a : actions) Perform(a);
    runningActions_ = false;
}

void QtDirectPlayDriver::Perform(directplay::Action& todo) {
    if (const auto* open = std::get_if<action::OpenSockets>(&todo)) {
        OpenSockets(*open);
    } else if (const auto* enumeration = std::get_if<action::OpenEnumeration>(&todo)) {
        const bool udp = OpenEnumeration(enumeration->port);
        peer_.OnEnumerationOpen(udp, enumerationTcp_ != nullptr);
    } else if (const auto* connect = std::get_if<action::Connect>(&todo)) {
        Connect(*connect);
    } else if (const auto* send = std::get_if<action::SendTcp>(&todo)) {
        const auto found = streams_.find(send->connection);
        if (found == streams_.end() || found->second.closing) return;
        found->second.socket->write(reinterpret_cast<const char*>(send->bytes.data()),
                                    static_cast<qint64>(send->bytes.size()));
        found->second.socket->flush();
    } else if (const auto* close = std::get_if<action::Close>(&todo)) {
        if (streams_.contains(close->connection)) {
            streams_.at(close->connection).closing = true;
            CloseWhenWritten(close->connection);
        }
    } else if (const auto* datagram = std::get_if<action::SendUdp>(&todo)) {
        if (udp_ == nullptr) return;
        udp_->writeDatagram(reinterpret_cast<const char*>(datagram->bytes.data()),
                            static_cast<qint64>(datagram->bytes.size()), QHostAddress(datagram->to.ip),
                            datagram->to.port);
    } else {
        events_.push_back(std::move(todo));
    }
}

void QtDirectPlayDriver::OpenSockets(const action::OpenSockets& request) {
    const QHostAddress address(bindIp_);
    listener_ = new QTcpServer(&owner_);
    udp_ = new QUdpSocket(&owner_);
    std::string problem;
    if (!ListenInRange(*listener_, address, request.tcp)) {
        problem = "no free TCP port in " + RangeText(request.tcp);
    } else if (!BindInRange(*udp_, address, request.udp)) {
        problem = "no free UDP port in " + RangeText(request.udp);
    } else if (request.enumeration_port && !OpenEnumeration(*request.enumeration_port)) {
        problem = "UDP port " + std::to_string(*request.enumeration_port) + " is taken";
    }
    if (!problem.empty()) {
        delete std::exchange(listener_, nullptr);
        delete std::exchange(udp_, nullptr);
        peer_.OnSocketsFailed(problem);
        return;
    }
    QObject::connect(listener_, &QTcpServer::newConnection, &owner_, [this] { Accept(listener_); });
    QObject::connect(udp_, &QUdpSocket::readyRead, &owner_, [this] { ReadDatagrams(udp_); });
    peer_.OnSocketsOpen(listener_->serverPort(), udp_->localPort());
}

bool QtDirectPlayDriver::OpenEnumeration(std::uint16_t port) {
    if (enumerationUdp_ != nullptr) return true;
    const QHostAddress address(bindIp_);
    auto* udp = new QUdpSocket(&owner_);
    if (!BindInRange(*udp, address, {port, port})) {
        delete udp;
        return false;
    }
    enumerationUdp_ = udp;
    QObject::connect(udp, &QUdpSocket::readyRead, &owner_, [this, udp] { ReadDatagrams(udp); });
    // Also on TCP, for clients that enumerate by stream; not fatal if taken.
    auto* tcp = new QTcpServer(&owner_);
    if (!tcp->listen(address, udp->localPort())) {
        delete tcp;
        return true;
    }
    enumerationTcp_ = tcp;
    QObject::connect(tcp, &QTcpServer::newConnection, &owner_, [this, tcp] { Accept(tcp); });
    return true;
}

void QtDirectPlayDriver::Connect(const action::Connect& request) {
    auto* socket = new QTcpSocket(&owner_);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const ConnectionId id = request.connection;
    streams_[id] = Stream{socket, false};
    QObject::connect(socket, &QTcpSocket::connected, &owner_, [this, id] {
        peer_.OnConnected(id);
        Settle();
    });
    Watch(id, socket);
    // From our own address, so that the other side sees the machine it knows.
    if (bindIp_ != directplay::kAnyAddress) socket->bind(QHostAddress(bindIp_));
    socket->connectToHost(QHostAddress(request.to.ip), request.to.port);
}

void QtDirectPlayDriver::Watch(ConnectionId id, QTcpSocket* socket) {
    QObject::connect(socket, &QTcpSocket::readyRead, &owner_, [this, id] { ReadStream(id); });
    QObject::connect(socket, &QTcpSocket::bytesWritten, &owner_, [this, id] { CloseWhenWritten(id); });
    QObject::connect(socket, &QTcpSocket::disconnected, &owner_, [this, id] { Forget(id, true); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, &owner_, [this, id] { Forget(id, true); });
}

void QtDirectPlayDriver::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        socket->setParent(&owner_);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const ConnectionId id = peer_.OnAccepted(EndpointOf(socket->peerAddress(), socket->peerPort()));
        streams_[id] = Stream{socket, false};
        Watch(id, socket);
        if (socket->bytesAvailable() > 0) ReadStream(id);
    }
    Settle();
}

void QtDirectPlayDriver::ReadStream(ConnectionId id) {
    const auto found = streams_.find(id);
    if (found == streams_.end()) return;
    const QByteArray bytes = found->second.socket->readAll();
    if (!found->second.closing && !bytes.isEmpty())
        peer_.OnTcpData(id, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())));
    Settle();
}

void QtDirectPlayDriver::ReadDatagrams(QUdpSocket* socket) {
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        const QByteArray bytes = datagram.data();
        peer_.OnDatagram(EndpointOf(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort())),
                         std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())));
    }
    Settle();
}

void QtDirectPlayDriver::CloseWhenWritten(ConnectionId id) {
    const auto found = streams_.find(id);
    if (found == streams_.end() || !found->second.closing) return;
    QTcpSocket* socket = found->second.socket;
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) return;
    Forget(id, false);
}

void QtDirectPlayDriver::Forget(ConnectionId id, bool tellPeer) {
    const auto found = streams_.find(id);
    if (found == streams_.end()) return;
    QTcpSocket* socket = found->second.socket;
    const bool told = tellPeer && !found->second.closing;
    streams_.erase(found);
    QObject::disconnect(socket, nullptr, &owner_, nullptr);
    socket->disconnectFromHost();
    socket->deleteLater();
    if (told) {
        peer_.OnClosed(id);
        Settle();
    }
}

TransportFactory QtTcpIpTransports() {
    // One mapper for the run: each session object's removals queue behind
    // the mappings before them, and the last are done when the program ends.
    std::shared_ptr<PortMapper> mapper = HomeRouterPortMapper();
    return [mapper] {
        DirectPlayTransportOptions options;
        options.Mapper = mapper;
        options.MappingSetting = std::make_shared<QtPortMappingSetting>();
        options.Clock = std::make_shared<directplay::SteadyClock>();
        options.Driver = [](directplay::SessionPeer& peer, const directplay::Clock& clock) {
            return std::make_unique<QtDirectPlayDriver>(peer, clock, directplay::kAnyAddress);
        };
        options.History = std::make_shared<QtAddressHistory>();
        // What DirectPlay notes (machines that go, a host that changes) goes
        // to standard error, for whoever started the program from a terminal.
        options.Log = [](const std::string& note) {
            std::fprintf(stderr, "tarnwick: DirectPlay: %s\n", note.c_str());
        };
        return std::make_unique<DirectPlayTransport>(std::move(options));
    };
}

}  // namespace tarnwick
