#include "multiplayer/directplay/winsock_delivery.h"

namespace tarnwick::directplay {

void WinsockDelivery::SendSystem(const Endpoint& listener, const SystemMessage& message) {
    SendFrame(listener, EncodeSystemFrame(message, OwnHeaderAddress(), dialect_));
}

void WinsockDelivery::SendGame(const Endpoint& listener, const GameMessage& message) {
    SendFrame(listener, EncodeGameFrame(message, withIds_, OwnHeaderAddress(), dialect_));
}

void WinsockDelivery::SendSystemDatagram(const Endpoint& udp, const SystemMessage& message) {
    SendDatagramBytes(udp, EncodeSystemFrame(message, OwnHeaderAddress(), dialect_));
}

void WinsockDelivery::SendGameDatagram(const Endpoint& udp, const GameMessage& message) {
    SendDatagramBytes(udp, EncodeGameDatagram(message, withIds_, OwnHeaderAddress(), dialect_));
}

void WinsockDelivery::SendDatagramBytes(const Endpoint& udp, std::vector<std::uint8_t> bytes) {
    actions_.push_back(action::SendUdp{udp, std::move(bytes)});
}

void WinsockDelivery::SendFrame(const Endpoint& listener, std::vector<std::uint8_t> frame) {
    const auto found = outbound_.find(listener);
    if (found != outbound_.end()) {
        Connection& connection = connections_.at(found->second);
        if (connection.open) {
            actions_.push_back(action::SendTcp{found->second, std::move(frame)});
        } else {
            connection.waiting.push_back(std::move(frame));
        }
        return;
    }
    const auto refused = refused_.find(listener);
    if (refused != refused_.end() && clock_.Now() - refused->second < retryAfter_) return;
    Open(listener, std::move(frame));
}

void WinsockDelivery::Open(const Endpoint& listener, std::optional<std::vector<std::uint8_t>> frame) {
    const ConnectionId id = nextId_++;
    Connection connection;
    connection.peer = listener;
    connection.outbound = true;
    if (frame) connection.waiting.push_back(std::move(*frame));
    connections_.emplace(id, std::move(connection));
    outbound_[listener] = id;
    actions_.push_back(action::Connect{id, listener});
}

void WinsockDelivery::Probe(const Endpoint& listener) {
    if (!outbound_.contains(listener)) Open(listener, std::nullopt);
}

std::optional<Millis> WinsockDelivery::RefusedAt(const Endpoint& listener) const {
    const auto found = refused_.find(listener);
    if (found == refused_.end()) return std::nullopt;
    return found->second;
}

ConnectionId WinsockDelivery::Accept(const Endpoint& peer) {
    const ConnectionId id = nextId_++;
    Connection connection;
    connection.peer = peer;
    connection.open = true;
    connections_.emplace(id, std::move(connection));
    return id;
}

void WinsockDelivery::Connected(ConnectionId id) {
    const auto found = connections_.find(id);
    if (found == connections_.end() || found->second.open) return;
    Connection& connection = found->second;
    connection.open = true;
    refused_.erase(connection.peer);
    for (auto& frame : connection.waiting) actions_.push_back(action::SendTcp{id, std::move(frame)});
    connection.waiting.clear();
    if (connection.close_when_sent) CloseConnection(id, connection);
}

std::optional<LostListener> WinsockDelivery::Closed(ConnectionId id) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) return std::nullopt;
    std::optional<LostListener> lost;
    if (found->second.outbound) {
        lost = LostListener{found->second.peer, !found->second.open};
        outbound_.erase(found->second.peer);
        if (lost->refused) refused_[lost->listener] = clock_.Now();
    }
    connections_.erase(found);
    return lost;
}

void WinsockDelivery::TcpData(ConnectionId id, std::span<const std::uint8_t> bytes,
                              const OnInbound& on_inbound) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) return;
    Origin origin{id, found->second.peer, std::nullopt};
    // Decoding may lead the session to close this very connection, so the
    // messages are collected first.
    std::vector<std::vector<std::uint8_t>> messages;
    const bool ok = found->second.reader.Feed(bytes, [&](std::span<const std::uint8_t> message) {
        messages.emplace_back(message.begin(), message.end());
    });
    const std::string error = found->second.reader.Error();
    if (!ok) {
        Log("closing the connection from " + EndpointText(origin.peer) + ": " + error);
        CloseConnection(id, found->second);
    }
    for (const auto& message : messages) {
        try {
            const Endpoint named = ReadSpHeader(message).address;
            origin.sender_listener = Endpoint{ResolveAddress(named.ip, origin.peer.ip), named.port};
            // A machine that speaks listens again (a new program on the same port).
            refused_.erase(*origin.sender_listener);
            Inbound inbound = DecodeTcpFrame(message, withIds_);
            on_inbound(origin, inbound);
        } catch (const MalformedMessage& e) {
            Log("dropped a message from " + EndpointText(origin.peer) + ": " + e.what());
        }
    }
}

void WinsockDelivery::Datagram(const Endpoint& from, std::span<const std::uint8_t> bytes,
                               const OnInbound& on_inbound) {
    try {
        Inbound inbound = DecodeDatagram(bytes, withIds_);
        if (const auto* frame = std::get_if<SystemFrame>(&inbound))
            refused_.erase({ResolveAddress(frame->header_address.ip, from.ip), frame->header_address.port});
        on_inbound(Origin{std::nullopt, from, std::nullopt}, inbound);
    } catch (const MalformedMessage& e) {
        Log("dropped a datagram from " + EndpointText(from) + ": " + e.what());
    }
}

void WinsockDelivery::CloseTo(const Endpoint& listener) {
    const auto found = outbound_.find(listener);
    if (found == outbound_.end()) return;
    CloseConnection(found->second, connections_.at(found->second));
}

void WinsockDelivery::CloseAll() {
    std::vector<ConnectionId> ids;
    for (const auto& [id, connection] : connections_) ids.push_back(id);
    for (const auto id : ids) {
        const auto found = connections_.find(id);
        if (found != connections_.end()) CloseConnection(id, found->second);
    }
}

void WinsockDelivery::CloseConnection(ConnectionId id, Connection& connection) {
    if (connection.outbound && !connection.open && !connection.waiting.empty()) {
        connection.close_when_sent = true;  // closed once it opens and has sent
        return;
    }
    if (connection.outbound) outbound_.erase(connection.peer);
    connections_.erase(id);
    actions_.push_back(action::Close{id});
}

void WinsockDelivery::Log(std::string text) { actions_.push_back(action::Log{std::move(text)}); }

}  // namespace tarnwick::directplay
