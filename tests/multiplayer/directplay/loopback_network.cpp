#include "loopback_network.h"

namespace tarnwick::directplay::testing {
namespace {

std::optional<SystemMessage> SystemOf(std::span<const std::uint8_t> bytes, bool datagram) {
    try {
        const Inbound inbound = datagram ? DecodeDatagram(bytes, true) : DecodeTcpFrame(bytes, true);
        if (const auto* frame = std::get_if<SystemFrame>(&inbound)) return frame->message;
    } catch (const MalformedMessage&) {
    }
    return std::nullopt;
}

}  // namespace

void LoopbackNetwork::Add(SessionPeer& peer, std::uint32_t ip, std::optional<std::uint16_t> tcp_port) {
    machines_.push_back({&peer, ip, 0, 0, {}, tcp_port});
}

LoopbackNetwork::Machine* LoopbackNetwork::Find(const SessionPeer* peer) {
    for (auto& m : machines_)
        if (m.peer == peer) return &m;
    return nullptr;
}

LoopbackNetwork::Machine* LoopbackNetwork::Listening(const Endpoint& to, bool tcp) {
    for (auto& m : machines_) {
        if ((m.ip != to.ip && to.ip != kBroadcastAddress) || vanished_.contains(m.peer)) continue;
        if ((tcp ? m.tcp : m.udp) == to.port || m.enumeration == to.port) return &m;
    }
    return nullptr;
}

bool LoopbackNetwork::Dropped(const SessionPeer& from, std::span<const std::uint8_t> bytes,
                              bool datagram) const {
    const auto drop = drops_.find(&from);
    if (drop == drops_.end()) return false;
    const auto message = SystemOf(bytes, datagram);
    return message && drop->second(*message);
}

void LoopbackNetwork::Pump() {
    for (int round = 0; round < 1000; ++round) {
        bool any = false;
        for (std::size_t i = 0; i < machines_.size(); ++i) {
            auto actions = machines_[i].peer->TakeActions();
            if (vanished_.contains(machines_[i].peer)) continue;
            any = any || !actions.empty();
            for (auto& a : actions) Handle(machines_[i], a);
        }
        if (!any) return;
    }
    throw std::runtime_error("the machines keep talking");
}

void LoopbackNetwork::AdvanceBy(Millis time, Millis step) {
    for (Millis done{0}; done < time; done += step) {
        clock_.Advance(step);
        for (auto& m : machines_)
            if (!vanished_.contains(m.peer)) m.peer->OnTimer();
        Pump();
    }
}

void LoopbackNetwork::Vanish(const SessionPeer& peer) {
    vanished_.insert(&peer);
    std::vector<Link> orphaned;
    for (auto it = links_.begin(); it != links_.end();) {
        if (it->first.first == &peer) {
            orphaned.push_back(it->second);
            it = links_.erase(it);
        } else if (it->second.peer == &peer) {
            it = links_.erase(it);
        } else {
            ++it;
        }
    }
    for (const Link& link : orphaned) link.peer->OnClosed(link.id);
    Pump();
}

int LoopbackNetwork::ConnectsTo(const SessionPeer& from, const Endpoint& listener) const {
    const auto found = connects_.find({&from, listener});
    return found == connects_.end() ? 0 : found->second;
}

void LoopbackNetwork::Handle(Machine& from, Action& action) {
    SessionPeer& peer = *from.peer;
    if (auto* open = std::get_if<action::OpenSockets>(&action)) {
        from.tcp = from.fixed_tcp.value_or(nextPort_++);
        from.udp = static_cast<std::uint16_t>(from.tcp + 50);
        from.enumeration = open->enumeration_port;
        peer.OnSocketsOpen(from.tcp, from.udp);
    } else if (auto* enumeration = std::get_if<action::OpenEnumeration>(&action)) {
        if (!enumerationHeld_) from.enumeration = enumeration->port;
        peer.OnEnumerationOpen(!enumerationHeld_, !enumerationHeld_);
    } else if (auto* connect = std::get_if<action::Connect>(&action)) {
        ++connects_[{&peer, connect->to}];
        Machine* to = Listening(connect->to, true);
        if (to == nullptr || blocked_.contains(to->peer)) {
            peer.OnClosed(connect->connection);
            return;
        }
        const ConnectionId accepted = to->peer->OnAccepted({from.ip, nextEphemeral_++});
        links_[{&peer, connect->connection}] = {to->peer, accepted};
        links_[{to->peer, accepted}] = {&peer, connect->connection};
        peer.OnConnected(connect->connection);
    } else if (auto* send = std::get_if<action::SendTcp>(&action)) {
        const auto link = links_.find({&peer, send->connection});
        if (link == links_.end() || Dropped(peer, send->bytes, false)) return;
        received_[link->second.peer].push_back(send->bytes);
        // In pieces of 7 bytes, so that messages arrive split.
        for (std::size_t at = 0; at < send->bytes.size(); at += 7)
            link->second.peer->OnTcpData(
                link->second.id,
                std::span(send->bytes).subspan(at, std::min<std::size_t>(7, send->bytes.size() - at)));
    } else if (auto* close = std::get_if<action::Close>(&action)) {
        const auto link = links_.find({&peer, close->connection});
        if (link == links_.end()) return;
        const Link other = link->second;
        links_.erase(link);
        links_.erase({other.peer, other.id});
        other.peer->OnClosed(other.id);
    } else if (auto* datagram = std::get_if<action::SendUdp>(&action)) {
        if (Dropped(peer, datagram->bytes, true)) return;
        for (auto& m : machines_) {
            if (&m == &from || vanished_.contains(m.peer)) continue;
            const bool addressed = m.ip == datagram->to.ip || datagram->to.ip == kBroadcastAddress;
            if (!addressed || (m.udp != datagram->to.port && m.enumeration != datagram->to.port)) continue;
            received_[m.peer].push_back(datagram->bytes);
            m.peer->OnDatagram({from.ip, from.udp}, datagram->bytes);
        }
    } else {
        events_[&peer].push_back(action);
    }
}

std::vector<SystemMessage> LoopbackNetwork::Received(const SessionPeer& peer) const {
    std::vector<SystemMessage> out;
    const auto found = received_.find(&peer);
    if (found == received_.end()) return out;
    for (const auto& bytes : found->second) {
        if (auto m = SystemOf(bytes, false))
            out.push_back(*m);
        else if (auto d = SystemOf(bytes, true))
            out.push_back(*d);
    }
    return out;
}

}  // namespace tarnwick::directplay::testing
