#include "multiplayer/directplay/host_session.h"

#include "multiplayer/directplay/utf16_text.h"

namespace tarnwick::directplay {
namespace {

Guid RandomGuid(std::mt19937_64& random) {
    Guid guid;
    for (auto& b : guid.bytes) b = static_cast<std::uint8_t>(random());
    guid.bytes[7] = static_cast<std::uint8_t>((guid.bytes[7] & 0x0F) | 0x40);  // version 4
    guid.bytes[8] = static_cast<std::uint8_t>((guid.bytes[8] & 0x3F) | 0x80);
    return guid;
}

}  // namespace

DirectPlayHost::DirectPlayHost(const HostConfig& config, const Clock& clock)
    : SessionPeer(config.peer, clock),
      host_config_(config),
      random_(config.seed),
      ids_(config.id_key.value_or(static_cast<std::uint32_t>(random_()))) {
    session_.flags = config.session_flags;
    session_.instance = RandomGuid(random_);
    session_.application = config.application;
    session_.max_players = config.max_players;
    session_.reserved1 = ids_.Key();
    session_name_ = AnsiToUtf16(config.session_name);
    delivery_.SetMessageIds((config.session_flags & session_flags::kNoMessageId) == 0);
    own_system_ = ids_.Allocate().value_or(0);
    PlayerInfo system;
    system.flags = player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup;
    system.id = own_system_;
    system.system_player = own_system_;
    system.version = config.peer.dialect;
    names_.AddPlayer(system, kAnyAddress);
}

void DirectPlayHost::Start() {
    Emit(action::OpenSockets{host_config_.peer.tcp_ports, host_config_.peer.udp_ports,
                             host_config_.enumeration_port});
}

void DirectPlayHost::SocketsReady() {
    running_ = true;
    PlayerInfo system = *names_.FindPlayer(own_system_);
    system.sp_data = OwnSpData();
    names_.AddPlayer(system, kAnyAddress);
}

void DirectPlayHost::SocketsFailed(const std::string& reason) {
    Log("could not open the host's ports: " + reason);
}

PlayerId DirectPlayHost::CreateLocalPlayer(const std::string& name, const std::string& long_name) {
    const auto id = ids_.Allocate();
    if (!id) return 0;
    PlayerInfo player;
    player.id = *id;
    player.system_player = own_system_;
    player.short_name = AnsiToUtf16(name);
    player.long_name = AnsiToUtf16(long_name);
    names_.AddPlayer(player, kAnyAddress);
    SendToOtherMachines(CreatePlayer{0, *id, 0, ForWire(player)});
    return *id;
}

void DirectPlayHost::DestroyLocalPlayer(PlayerId player) {
    const PlayerInfo* info = names_.FindPlayer(player);
    if (info == nullptr || info->system_player != own_system_ || info->IsSystemPlayer()) return;
    SendToOtherMachines(DeletePlayer{0, player, 0});
    names_.RemovePlayer(player);
    ids_.Release(player);
}

PlayerId DirectPlayHost::CreateGroup(const std::string& name) {
    const auto id = ids_.Allocate();
    if (!id) return 0;
    PlayerInfo group;
    group.id = *id;
    group.system_player = own_system_;
    group.version = config_.dialect;
    group.short_name = AnsiToUtf16(name);
    names_.AddGroup(group, kAnyAddress);
    SendToOtherMachines(directplay::CreateGroup{0, *id, 0, group});
    return *id;
}

bool DirectPlayHost::AddLocalPlayerToGroup(PlayerId player, PlayerId group) {
    if (!names_.AddToGroup(player, group)) return false;
    SendToOtherMachines(AddPlayerToGroup{0, player, group});
    return true;
}

void DirectPlayHost::Leave() {
    if (!running_) return;
    for (const PlayerInfo* player : names_.Players())
        if (!player->IsSystemPlayer() && player->system_player == own_system_)
            SendToOtherMachines(DeletePlayer{0, player->id, 0});
    SendToOtherMachines(DeletePlayer{0, own_system_, 0});
    delivery_.CloseAll();
    running_ = false;
}

bool DirectPlayHost::HandleRoleMessage(const Origin& origin, const SystemFrame& frame) {
    if (!running_) return true;
    return std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, EnumSessions>) {
                OnEnumSessions(origin, frame, m);
            } else if constexpr (std::is_same_v<T, RequestPlayerId>) {
                OnRequestPlayerId(origin, frame, m);
            } else if constexpr (std::is_same_v<T, AddForwardRequest>) {
                OnAddForwardRequest(origin, frame, m);
            } else if constexpr (std::is_same_v<T, AddForwardAck>) {
                OnAddForwardAck(origin, frame);
            } else if constexpr (std::is_same_v<T, DeletePlayer>) {
                // The ids go back to the pool; the name table is updated as on any machine.
                const PlayerInfo* info = names_.FindPlayer(m.player_id);
                if (info == nullptr || m.player_id == own_system_ || info->system_player == own_system_)
                    return true;
                for (const PlayerInfo* player : names_.Players())
                    if (player->id == m.player_id ||
                        (info->IsSystemPlayer() && player->system_player == m.player_id))
                        ids_.Release(player->id);
                return false;
            } else {
                return false;
            }
            return true;
        },
        frame.message);
}

void DirectPlayHost::OnEnumSessions(const Origin& origin, const SystemFrame& frame,
                                    const EnumSessions& request) {
    if (!request.application.IsNull() && request.application != host_config_.application) return;
    const std::uint32_t flags = session_.flags;
    if ((request.flags & enum_flags::kAvailable) && (Full() || (flags & session_flags::kJoinDisabled)))
        return;
    const bool password_right = request.password.value_or(u"") == AnsiToUtf16(host_config_.password);
    if ((flags & session_flags::kPrivate) && !password_right) return;
    if ((flags & session_flags::kPasswordRequired) && !password_right &&
        !(request.flags & enum_flags::kPasswordRequired))
        return;
    delivery_.SendSystem(SenderListener(origin, frame), EnumSessionsReply{CurrentDesc(), session_name_});
}

void DirectPlayHost::OnRequestPlayerId(const Origin& origin, const SystemFrame& frame,
                                       const RequestPlayerId& request) {
    const Endpoint listener = SenderListener(origin, frame);
    const bool machine = (request.flags & player_flags::kSystemPlayer) != 0;
    const std::uint32_t flags = session_.flags;
    const bool closed =
        machine ? (flags & session_flags::kJoinDisabled) : (flags & session_flags::kNewPlayersDisabled);
    const auto id = Full() || closed ? std::nullopt : ids_.Allocate();
    if (!id) {
        delivery_.SendSystem(listener, RequestPlayerReply{0, results::kNoNewPlayers});
        return;
    }
    if (machine) reserved_machines_[*id] = listener;
    delivery_.SendSystem(listener, RequestPlayerReply{*id, results::kOk});
}

void DirectPlayHost::OnAddForwardRequest(const Origin& origin, const SystemFrame& frame,
                                         const AddForwardRequest& request) {
    const auto reserved = reserved_machines_.find(request.player_id);
    if (reserved == reserved_machines_.end()) {
        Log("ignored an ADDFORWARDREQUEST for id " + std::to_string(request.player_id) +
            ", which was not given out");
        return;
    }
    const Endpoint listener = reserved->second;
    reserved_machines_.erase(reserved);
    if ((session_.flags & session_flags::kPasswordRequired) &&
        request.password != AnsiToUtf16(host_config_.password)) {
        delivery_.SendSystem(listener, AddForwardReply{results::kInvalidPassword});
        ids_.Release(request.player_id);
        return;
    }
    PlayerInfo joiner = request.player;
    joiner.id = request.player_id;
    joiner.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    joiner.system_player = request.player_id;
    if (!joiner.sp_data) joiner.sp_data = SpData{listener, {listener.ip, 0}};
    // The joiner wrote 0.0.0.0 for itself; the others must learn its real address.
    names_.AddPlayer(joiner, ResolveAddress(frame.header_address.ip, origin.peer.ip));
    const PlayerInfo& stored = *names_.FindPlayer(joiner.id);

    PendingJoin pending{listener, {}, Now() + host_config_.name_table_timeout};
    for (const PlayerId machine : names_.SystemPlayers()) {
        if (machine == own_system_ || machine == joiner.id) continue;
        const auto machine_listener = ListenerOf(machine);
        if (!machine_listener) continue;
        delivery_.SendSystem(*machine_listener, AddForward{machine, joiner.id, 0, stored});
        pending.unacknowledged.insert(*machine_listener);
    }
    if (pending.unacknowledged.empty()) {
        SendNameTable(joiner.id);
    } else {
        pending_joins_[joiner.id] = std::move(pending);
    }
}

void DirectPlayHost::OnAddForwardAck(const Origin& origin, const SystemFrame& frame) {
    const auto& ack = std::get<AddForwardAck>(frame.message);
    const auto pending = pending_joins_.find(ack.id);
    if (pending == pending_joins_.end()) return;
    pending->second.unacknowledged.erase(SenderListener(origin, frame));
    if (pending->second.unacknowledged.empty()) {
        pending_joins_.erase(pending);
        SendNameTable(ack.id);
    }
}

void DirectPlayHost::SendNameTable(PlayerId joiner) {
    const auto listener = ListenerOf(joiner);
    if (!listener) return;
    SuperEnumPlayersReply reply{CurrentDesc(), session_name_, std::nullopt, {}, {}, {}};
    for (const PlayerInfo* player : names_.Players()) reply.players.push_back(ForWire(*player));
    for (const PlayerInfo* group : names_.Groups()) reply.groups.push_back(*group);
    delivery_.SendSystem(*listener, reply);
    Log("machine " + std::to_string(joiner) + " at " + EndpointText(*listener) + " joined");
}

void DirectPlayHost::UnknownPinger(const Origin& origin, const SystemFrame& frame) {
    if (origin.connection) {
        delivery_.SendSystem(SenderListener(origin, frame), YouAreDead{});
    } else {
        delivery_.SendSystemDatagram(origin.peer, YouAreDead{});
    }
}

void DirectPlayHost::MachineRemoved(PlayerId system_player) { pending_joins_.erase(system_player); }

void DirectPlayHost::ListenerLost(const Endpoint& listener) {
    // Our connection to a machine is gone: it left without a word or vanished.
    for (const PlayerId machine : names_.SystemPlayers()) {
        if (machine != own_system_ && ListenerOf(machine) == listener) {
            Log("lost the connection to machine " + std::to_string(machine) + " at " +
                EndpointText(listener));
            for (const PlayerInfo* player : names_.Players())
                if (player->system_player == machine) ids_.Release(player->id);
            RemovePlayer(machine);
            return;
        }
    }
    std::erase_if(reserved_machines_, [&](const auto& entry) {
        if (entry.second != listener) return false;
        ids_.Release(entry.first);
        return true;
    });
}

void DirectPlayHost::Timer(Millis now) {
    std::vector<PlayerId> due;
    for (const auto& [joiner, pending] : pending_joins_)
        if (now >= pending.deadline) due.push_back(joiner);
    for (const PlayerId joiner : due) {
        pending_joins_.erase(joiner);
        SendNameTable(joiner);
    }
}

void DirectPlayHost::CollectDeadlines(std::vector<Millis>& deadlines) const {
    for (const auto& [joiner, pending] : pending_joins_) deadlines.push_back(pending.deadline);
}

SessionDesc DirectPlayHost::CurrentDesc() const {
    SessionDesc desc = session_;
    desc.current_players = static_cast<std::uint32_t>(names_.VisiblePlayerCount());
    return desc;
}

bool DirectPlayHost::Full() const { return names_.VisiblePlayerCount() >= session_.max_players; }

}  // namespace tarnwick::directplay
