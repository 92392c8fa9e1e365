#include "multiplayer/directplay/session_peer.h"

#include <algorithm>
#include <utility>

#include "multiplayer/directplay/utf16_text.h"

namespace tarnwick::directplay {

SessionPeer::SessionPeer(const PeerConfig& config, const Clock& clock)
    : config_(config), delivery_(actions_), clock_(clock) {
    delivery_.SetDialect(config.dialect);
}

void SessionPeer::OnSocketsOpen(std::uint16_t tcp_port, std::uint16_t udp_port) {
    tcp_port_ = tcp_port;
    udp_port_ = udp_port;
    delivery_.SetOwnTcpPort(tcp_port);
    sockets_open_ = true;
    SocketsReady();
}

void SessionPeer::OnSocketsFailed(const std::string& reason) { SocketsFailed(reason); }

ConnectionId SessionPeer::OnAccepted(const Endpoint& peer) { return delivery_.Accept(peer); }

void SessionPeer::OnConnected(ConnectionId connection) { delivery_.Connected(connection); }

void SessionPeer::OnClosed(ConnectionId connection) {
    if (const auto listener = delivery_.Closed(connection)) {
        Log("the connection to " + EndpointText(*listener) + " closed");
        ListenerLost(*listener);
    }
}

void SessionPeer::OnTcpData(ConnectionId connection, std::span<const std::uint8_t> bytes) {
    delivery_.TcpData(connection, bytes,
                      [this](const Origin& origin, Inbound& inbound) { Dispatch(origin, inbound); });
}

void SessionPeer::OnDatagram(const Endpoint& from, std::span<const std::uint8_t> bytes) {
    delivery_.Datagram(from, bytes,
                       [this](const Origin& origin, Inbound& inbound) { Dispatch(origin, inbound); });
}

void SessionPeer::OnTimer() { Timer(Now()); }

std::optional<Millis> SessionPeer::NextDeadline() const {
    std::vector<Millis> deadlines;
    CollectDeadlines(deadlines);
    if (deadlines.empty()) return std::nullopt;
    return *std::min_element(deadlines.begin(), deadlines.end());
}

std::vector<Action> SessionPeer::TakeActions() { return std::exchange(actions_, {}); }

bool SessionPeer::SendGameMessage(PlayerId from, PlayerId to, std::span<const std::uint8_t> payload,
                                  bool guaranteed) {
    if (!InSession()) return false;
    const auto machines = names_.MachinesFor(to);
    if (machines.empty() && to != kAllPlayers) {
        Log("no player or group " + std::to_string(to) + " to send to");
        return false;
    }
    const GameMessage message{from, to, {payload.begin(), payload.end()}};
    for (const PlayerId machine : machines) {
        if (machine == own_system_) continue;
        const PlayerInfo* info = names_.FindPlayer(machine);
        if (info == nullptr || !info->sp_data) continue;
        if (guaranteed) {
            delivery_.SendGame(info->sp_data->tcp, message);
        } else {
            delivery_.SendGameDatagram(info->sp_data->udp, message);
        }
    }
    return true;
}

std::optional<std::string> SessionPeer::PlayerName(PlayerId id) const {
    const PlayerInfo* info = names_.FindPlayer(id);
    if (info == nullptr) info = names_.FindGroup(id);
    if (info == nullptr) return std::nullopt;
    return Utf16ToAnsi(info->short_name);
}

void SessionPeer::SendToMachine(PlayerId machine, const SystemMessage& message) {
    if (const auto listener = ListenerOf(machine)) delivery_.SendSystem(*listener, message);
}

void SessionPeer::SendToOtherMachines(const SystemMessage& message) {
    for (const PlayerId machine : names_.SystemPlayers())
        if (machine != own_system_) SendToMachine(machine, message);
}

std::optional<Endpoint> SessionPeer::ListenerOf(PlayerId machine) const {
    const PlayerInfo* info = names_.FindPlayer(machine);
    if (info == nullptr || !info->sp_data) return std::nullopt;
    return info->sp_data->tcp;
}

Endpoint SessionPeer::SenderListener(const Origin& origin, const SystemFrame& frame) {
    return {ResolveAddress(frame.header_address.ip, origin.peer.ip), frame.header_address.port};
}

SpData SessionPeer::OwnSpData() const { return {{kAnyAddress, tcp_port_}, {kAnyAddress, udp_port_}}; }

PlayerInfo SessionPeer::ForWire(const PlayerInfo& player) const {
    PlayerInfo out = player;
    if (own_system_ != 0 && (player.id == own_system_ || player.system_player == own_system_)) {
        out.flags |= player_flags::kLocal;
        out.sp_data = OwnSpData();
        out.version = config_.dialect;
    }
    return out;
}

void SessionPeer::RemovePlayer(PlayerId id) {
    const PlayerInfo* info = names_.FindPlayer(id);
    if (info == nullptr) return;
    const bool machine = info->IsSystemPlayer();
    std::vector<PlayerId> visible;
    for (const PlayerInfo* player : names_.Players())
        if (!player->IsSystemPlayer() && (player->id == id || (machine && player->system_player == id)))
            visible.push_back(player->id);
    names_.RemovePlayer(id);
    for (const PlayerId gone : visible) Emit(action::PlayerDestroyed{gone});
    if (machine) MachineRemoved(id);
}

void SessionPeer::Dispatch(const Origin& origin, Inbound& inbound) {
    Heard(origin);
    if (auto* game = std::get_if<GameMessage>(&inbound)) {
        if (InSession())
            Emit(action::Deliver{game->from, game->to, std::move(game->payload),
                                 origin.connection.has_value()});
        return;
    }
    const auto& frame = std::get<SystemFrame>(inbound);
    if (!HandleRoleMessage(origin, frame)) HandleCommon(origin, frame);
}

void SessionPeer::HandleCommon(const Origin& origin, const SystemFrame& frame) {
    const std::uint32_t sender_ip = origin.peer.ip;
    if (!InSession()) {
        Log("ignored " + CommandName(frame.message) + " outside a session");
        return;
    }
    const auto create = [&](const PlayerInfo& info) {
        if (info.IsSystemPlayer() || names_.FindPlayer(info.id) != nullptr)
            return;  // machines come by ADDFORWARD
        names_.AddPlayer(info, sender_ip);
        Emit(action::PlayerCreated{info.id, Utf16ToAnsi(info.short_name)});
    };
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, CreatePlayer> || std::is_same_v<T, CreatePlayerVerify>) {
                create(m.info);
            } else if constexpr (std::is_same_v<T, CreateGroup>) {
                names_.AddGroup(m.info, sender_ip);
            } else if constexpr (std::is_same_v<T, DeletePlayer>) {
                RemovePlayer(m.player_id);
            } else if constexpr (std::is_same_v<T, DeleteGroup>) {
                names_.RemoveGroup(m.group_id != 0 ? m.group_id : m.player_id);
            } else if constexpr (std::is_same_v<T, AddPlayerToGroup>) {
                names_.AddToGroup(m.player_id, m.group_id);
            } else if constexpr (std::is_same_v<T, DeletePlayerFromGroup>) {
                names_.RemoveFromGroup(m.player_id, m.group_id);
            } else if constexpr (std::is_same_v<T, AddShortcutToGroup>) {
                names_.AddShortcut(m.player_id, m.group_id);
            } else if constexpr (std::is_same_v<T, DeleteGroupFromGroup>) {
                names_.RemoveShortcut(m.player_id, m.group_id);
            } else if constexpr (std::is_same_v<T, PlayerDataChanged> ||
                                 std::is_same_v<T, GroupDataChanged>) {
                names_.SetData(m.id, m.data);
            } else if constexpr (std::is_same_v<T, PlayerNameChanged> ||
                                 std::is_same_v<T, GroupNameChanged>) {
                names_.SetNames(m.id, m.short_name, m.long_name);
            } else if constexpr (std::is_same_v<T, SessionDescChanged>) {
                session_ = m.desc;
                session_name_ = m.name;
                delivery_.SetMessageIds((m.desc.flags & session_flags::kNoMessageId) == 0);
            } else if constexpr (std::is_same_v<T, Ping>) {
                if (names_.FindPlayer(m.id_from) == nullptr) {
                    UnknownPinger(origin, frame);
                } else if (origin.connection) {
                    delivery_.SendSystem(SenderListener(origin, frame), PingReply{own_system_, m.tick_count});
                } else {
                    delivery_.SendSystemDatagram(origin.peer, PingReply{own_system_, m.tick_count});
                }
            } else if constexpr (std::is_same_v<T, PingReply>) {
                // Heard() has noted the sign of life.
            } else if constexpr (std::is_same_v<T, IAmNameServer>) {
                if (names_.SetHost(m.host_id)) HostChanged(m.host_id);
            } else {
                Log("ignored " + CommandName(frame.message) + " from " + EndpointText(origin.peer));
            }
        },
        frame.message);
}

}  // namespace tarnwick::directplay
