#include "multiplayer/directplay/posix_runner.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tarnwick::directplay {
namespace {

sockaddr_in SocketAddress(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(endpoint.ip);
    return address;
}

Endpoint EndpointOf(const sockaddr_in& address) {
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

void MakeNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK); }

std::uint16_t LocalPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// A bound socket of this type on the first free port of the range, or -1.
int BindInRange(int type, std::uint32_t ip, PortRange range) {
    for (std::uint32_t port = range.first; port <= range.last; ++port) {
        const int fd = socket(AF_INET, type, 0);
        if (fd < 0) return -1;
        const int yes = 1;
        if (type == SOCK_STREAM) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (type == SOCK_DGRAM) setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
        const sockaddr_in address = SocketAddress({ip, static_cast<std::uint16_t>(port)});
        // Every machine of a large session may connect at once (all pilots
        // answering an identification request), faster than a turn accepts.
        if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            (type != SOCK_STREAM || listen(fd, SOMAXCONN) == 0)) {
            MakeNonBlocking(fd);
            return fd;
        }
        close(fd);
    }
    return -1;
}

}  // namespace

PosixRunner::PosixRunner(SessionPeer& peer, const Clock& clock, std::uint32_t bind_ip)
    : peer_(peer), clock_(clock), bindIp_(bind_ip) {}

PosixRunner::~PosixRunner() { CloseAll(); }

void PosixRunner::CloseAll() {
    for (auto& [id, stream] : streams_) close(stream.fd);
    streams_.clear();
    for (int* fd : {&tcpListener_, &udpSocket_, &enumerationUdp_, &enumerationTcp_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void PosixRunner::RunActions() {
    for (int round = 0; round < 64; ++round) {
        auto actions = peer_.TakeActions();
        if (actions.empty()) return;
        for (auto& a : actions) Perform(a);
    }
}

void PosixRunner::Perform(Action& action) {
    if (const auto* open = std::get_if<action::OpenSockets>(&action)) {
        OpenSockets(*open);
    } else if (const auto* enumeration = std::get_if<action::OpenEnumeration>(&action)) {
        const bool udp = OpenEnumeration(enumeration->port);
        peer_.OnEnumerationOpen(udp, enumerationTcp_ >= 0);
    } else if (const auto* connect = std::get_if<action::Connect>(&action)) {
        Connect(*connect);
    } else if (auto* send = std::get_if<action::SendTcp>(&action)) {
        const auto found = streams_.find(send->connection);
        if (found == streams_.end()) return;
        auto& out = found->second.out;
        out.insert(out.end(), send->bytes.begin(), send->bytes.end());
        Flush(found->first, found->second);
    } else if (const auto* close_it = std::get_if<action::Close>(&action)) {
        const auto found = streams_.find(close_it->connection);
        if (found == streams_.end()) return;
        found->second.closing = true;
        Flush(found->first, found->second);
    } else if (const auto* datagram = std::get_if<action::SendUdp>(&action)) {
        if (udpSocket_ < 0) return;
        const sockaddr_in to = SocketAddress(datagram->to);
        sendto(udpSocket_, datagram->bytes.data(), datagram->bytes.size(), 0,
               reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } else {
        events_.push_back(std::move(action));
    }
}

void PosixRunner::OpenSockets(const action::OpenSockets& request) {
    tcpListener_ = BindInRange(SOCK_STREAM, bindIp_, request.tcp);
    udpSocket_ = BindInRange(SOCK_DGRAM, bindIp_, request.udp);
    if (request.enumeration_port) OpenEnumeration(*request.enumeration_port);
    if (tcpListener_ < 0 || udpSocket_ < 0 || (request.enumeration_port && enumerationUdp_ < 0)) {
        const std::string what =
            tcpListener_ < 0 ? "no free TCP port in " + std::to_string(request.tcp.first) + "-" +
                                   std::to_string(request.tcp.last)
            : udpSocket_ < 0 ? "no free UDP port in " + std::to_string(request.udp.first) + "-" +
                                   std::to_string(request.udp.last)
                             : "UDP port " + std::to_string(*request.enumeration_port) + " is taken";
        CloseAll();
        peer_.OnSocketsFailed(what);
        return;
    }
    peer_.OnSocketsOpen(LocalPort(tcpListener_), LocalPort(udpSocket_));
}

bool PosixRunner::OpenEnumeration(std::uint16_t port) {
    if (enumerationUdp_ >= 0) return true;
    enumerationUdp_ = BindInRange(SOCK_DGRAM, bindIp_, {port, port});
    if (enumerationUdp_ < 0) return false;
    enumerationPort_ = LocalPort(enumerationUdp_);
    // Also on TCP, for clients that enumerate by stream; not fatal if taken.
    enumerationTcp_ = BindInRange(SOCK_STREAM, bindIp_, {*enumerationPort_, *enumerationPort_});
    return true;
}

void PosixRunner::Connect(const action::Connect& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        peer_.OnClosed(request.connection);
        return;
    }
    // From our own address, so that the other side sees the machine it knows.
    const sockaddr_in own = SocketAddress({bindIp_, 0});
    if (bindIp_ != kAnyAddress && bind(fd, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0) {
        close(fd);
        peer_.OnClosed(request.connection);
        return;
    }
    MakeNonBlocking(fd);
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    const sockaddr_in to = SocketAddress(request.to);
    const int result = connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (result < 0 && errno != EINPROGRESS) {
        close(fd);
        peer_.OnClosed(request.connection);
        return;
    }
    streams_[request.connection] = Stream{fd, result < 0, false, {}};
    if (result == 0) peer_.OnConnected(request.connection);
}

void PosixRunner::Flush(ConnectionId id, Stream& stream) {
    if (stream.connecting) return;
    while (!stream.out.empty()) {
        const ssize_t sent = send(stream.fd, stream.out.data(), stream.out.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            Drop(id, !stream.closing);
            return;
        }
        stream.out.erase(stream.out.begin(), stream.out.begin() + sent);
    }
    if (stream.closing) Drop(id, false);
}

void PosixRunner::Drop(ConnectionId id, bool tell_peer) {
    const auto found = streams_.find(id);
    if (found == streams_.end()) return;
    close(found->second.fd);
    streams_.erase(found);
    if (tell_peer) peer_.OnClosed(id);
}

void PosixRunner::ReadStream(ConnectionId id, Stream& stream) {
    std::uint8_t buffer[16384];
    for (;;) {
        const ssize_t got = recv(stream.fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            if (!stream.closing) peer_.OnTcpData(id, std::span(buffer, static_cast<std::size_t>(got)));
            if (!streams_.contains(id)) return;
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        Drop(id, !stream.closing);  // closed by the other side, or failed
        return;
    }
}

void PosixRunner::ReadDatagrams(int fd) {
    std::uint8_t buffer[65536];
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got =
            recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (got < 0) return;
        peer_.OnDatagram(EndpointOf(from), std::span(buffer, static_cast<std::size_t>(got)));
    }
}

void PosixRunner::AcceptOn(int fd) {
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const int stream = accept(fd, reinterpret_cast<sockaddr*>(&from), &length);
        if (stream < 0) return;
        MakeNonBlocking(stream);
        const int yes = 1;
        setsockopt(stream, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        const ConnectionId id = peer_.OnAccepted(EndpointOf(from));
        streams_[id] = Stream{stream, false, false, {}};
    }
}

void PosixRunner::Pump(Millis max_wait) {
    RunActions();
    PollOnce(events_.empty() ? max_wait : Millis{0});
}

bool PosixRunner::Sending() const {
    for (const auto& [id, stream] : streams_)
        if (stream.connecting || stream.closing || !stream.out.empty()) return true;
    return false;
}

void PosixRunner::PollOnce(Millis timeout) {
    PosixRunner* self = this;
    PollAll(std::span(&self, 1), timeout);
}

void PosixRunner::PollAll(std::span<PosixRunner* const> runners, Millis timeout) {
    Millis wait = timeout;
    std::vector<pollfd> fds;
    std::vector<Polled> owners;  // parallel to fds
    for (PosixRunner* runner : runners) {
        runner->RunActions();
        if (const auto deadline = runner->peer_.NextDeadline())
            wait = std::max(Millis{0}, std::min(wait, *deadline - runner->clock_.Now()));
        runner->AddPolled(fds, owners);
    }
    poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
    for (std::size_t i = 0; i < fds.size(); ++i)
        if (fds[i].revents != 0) owners[i].runner->HandlePolled(fds[i], owners[i].connection);
    for (PosixRunner* runner : runners) {
        runner->peer_.OnTimer();
        runner->RunActions();
    }
}

void PosixRunner::AddPolled(std::vector<pollfd>& fds, std::vector<Polled>& owners) {
    for (const int fd : {tcpListener_, udpSocket_, enumerationUdp_, enumerationTcp_}) {
        if (fd < 0) continue;
        fds.push_back({fd, POLLIN, 0});
        owners.push_back({this, 0});
    }
    for (const auto& [id, stream] : streams_) {
        short events = POLLIN;
        if (stream.connecting || !stream.out.empty()) events |= POLLOUT;
        fds.push_back({stream.fd, events, 0});
        owners.push_back({this, id});
    }
}

void PosixRunner::HandlePolled(const pollfd& polled, ConnectionId connection) {
    const int fd = polled.fd;
    if (connection == 0) {
        if (fd == tcpListener_ || fd == enumerationTcp_) AcceptOn(fd);
        if (fd == udpSocket_ || fd == enumerationUdp_) ReadDatagrams(fd);
        return;
    }
    const auto found = streams_.find(connection);
    // A descriptor closed earlier in this turn may have been reused.
    if (found == streams_.end() || found->second.fd != fd) return;
    Stream& stream = found->second;
    if (stream.connecting && (polled.revents & (POLLOUT | POLLERR | POLLHUP))) {
        int error = 0;
        socklen_t length = sizeof error;
        getsockopt(stream.fd, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            Drop(connection, true);
            return;
        }
        stream.connecting = false;
        peer_.OnConnected(connection);
        RunActions();
    }
    if (!streams_.contains(connection)) return;
    if (polled.revents & (POLLIN | POLLHUP | POLLERR)) ReadStream(connection, streams_.at(connection));
    if (streams_.contains(connection) && (polled.revents & POLLOUT))
        Flush(connection, streams_.at(connection));
}

}  // namespace tarnwick::directplay
