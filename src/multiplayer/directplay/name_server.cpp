#include "multiplayer/directplay/name_server.h"

#include "multiplayer/directplay/session_peer.h"
#include "multiplayer/directplay/utf16_text.h"

namespace tarnwick::directplay {

NameServer::NameServer(SessionPeer& peer, const NameServerConfig& config, std::uint32_t id_key)
    : peer_(peer), config_(config), ids_(id_key) {}

void NameServer::Released(const std::vector<PlayerId>& ids) {
    for (const PlayerId id : ids) {
        ids_.Release(id);
        pendingJoins_.erase(id);
    }
}

void NameServer::TakeOver() {
    const NameTable& names = peer_.names_;
    for (const PlayerInfo* player : names.Players()) ids_.Reserve(player->id);
    for (const PlayerInfo* group : names.Groups()) ids_.Reserve(group->id);
    peer_.Emit(action::OpenEnumeration{config_.enumeration_port});
    for (const PlayerId machine : names.SystemPlayers()) Announce(machine);
}

void NameServer::Announce(PlayerId machine) { peer_.SendToMachine(machine, Claim(machine)); }

IAmNameServer NameServer::Claim(PlayerId to) const {
    return {to, peer_.ownSystem_,
            player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup,
            peer_.OwnSpData()};
}

void NameServer::TellRemoved(const std::vector<PlayerId>& players) {
    for (const PlayerId player : players) peer_.SendToOtherMachines(DeletePlayer{0, player, 0});
}

bool NameServer::Handle(const Origin& origin, const SystemFrame& frame) {
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
                OnAddForwardAck(origin, frame, m);
            } else {
                return false;
            }
            return true;
        },
        frame.message);
}

void NameServer::OnEnumSessions(const Origin& origin, const SystemFrame& frame, const EnumSessions& request) {
    const SessionDesc& session = peer_.session_;
    if (!request.application.IsNull() && request.application != session.application) return;
    const std::uint32_t flags = session.flags;
    if ((request.flags & enum_flags::kAvailable) && (Full() || (flags & session_flags::kJoinDisabled)))
        return;
    const bool password_right = request.password.value_or(u"") == AnsiToUtf16(config_.password);
    if ((flags & session_flags::kPrivate) && !password_right) return;
    if ((flags & session_flags::kPasswordRequired) && !password_right &&
        !(request.flags & enum_flags::kPasswordRequired))
        return;
    peer_.delivery_.SendSystem(SessionPeer::SenderListener(origin, frame),
                               EnumSessionsReply{CurrentDesc(), peer_.sessionName_});
}

void NameServer::OnRequestPlayerId(const Origin& origin, const SystemFrame& frame,
                                   const RequestPlayerId& request) {
    const Endpoint listener = SessionPeer::SenderListener(origin, frame);
    const bool machine = (request.flags & player_flags::kSystemPlayer) != 0;
    const std::uint32_t flags = peer_.session_.flags;
    const bool closed =
        machine ? (flags & session_flags::kJoinDisabled) : (flags & session_flags::kNewPlayersDisabled);
    const auto id = Full() || closed ? std::nullopt : ids_.Allocate();
    if (!id) {
        peer_.delivery_.SendSystem(listener, RequestPlayerReply{0, results::kNoNewPlayers});
        return;
    }
    if (machine) reservedMachines_[*id] = listener;
    peer_.delivery_.SendSystem(listener, RequestPlayerReply{*id, results::kOk});
}

void NameServer::OnAddForwardRequest(const Origin& origin, const SystemFrame& frame,
                                     const AddForwardRequest& request) {
    const auto reserved = reservedMachines_.find(request.player_id);
    if (reserved == reservedMachines_.end()) {
        peer_.Log("ignored an ADDFORWARDREQUEST for id " + std::to_string(request.player_id) +
                  ", which was not given out");
        return;
    }
    const Endpoint listener = reserved->second;
    reservedMachines_.erase(reserved);
    if ((peer_.session_.flags & session_flags::kPasswordRequired) &&
        request.password != AnsiToUtf16(config_.password)) {
        peer_.delivery_.SendSystem(listener, AddForwardReply{results::kInvalidPassword});
        ids_.Release(request.player_id);
        return;
    }
    PlayerInfo joiner = request.player;
    joiner.id = request.player_id;
    joiner.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    joiner.system_player = request.player_id;
    if (!joiner.sp_data) joiner.sp_data = SpData{listener, {listener.ip, 0}};
    // The joiner wrote 0.0.0.0 for itself; the others must learn its real address.
    NameTable& names = peer_.names_;
    names.AddPlayer(joiner, ResolveAddress(frame.header_address.ip, origin.peer.ip));
    const PlayerInfo& stored = *names.FindPlayer(joiner.id);

    PendingJoin pending{listener, {}, peer_.Now() + config_.name_table_timeout};
    for (const PlayerId machine : names.SystemPlayers()) {
        if (machine == joiner.id || !peer_.Reaches(machine)) continue;
        const auto machine_listener = peer_.ListenerOf(machine);
        // A machine that refuses connections will not acknowledge: it is
        // most likely gone, and the joiner need not wait for it.
        if (!machine_listener || peer_.delivery_.RefusedAt(*machine_listener)) continue;
        peer_.delivery_.SendSystem(*machine_listener, AddForward{machine, joiner.id, 0, stored});
        pending.unacknowledged.insert(*machine_listener);
    }
    if (pending.unacknowledged.empty()) {
        SendNameTable(joiner.id);
    } else {
        pendingJoins_[joiner.id] = std::move(pending);
    }
}

void NameServer::OnAddForwardAck(const Origin& origin, const SystemFrame& frame, const AddForwardAck& ack) {
    const auto pending = pendingJoins_.find(ack.id);
    if (pending == pendingJoins_.end()) return;
    pending->second.unacknowledged.erase(SessionPeer::SenderListener(origin, frame));
    if (pending->second.unacknowledged.empty()) {
        pendingJoins_.erase(pending);
        SendNameTable(ack.id);
    }
}

void NameServer::SendNameTable(PlayerId joiner) {
    const auto listener = peer_.ListenerOf(joiner);
    if (!listener) return;
    SuperEnumPlayersReply reply{CurrentDesc(), peer_.sessionName_, std::nullopt, {}, {}, {}};
    for (const PlayerInfo* player : peer_.names_.Players()) reply.players.push_back(peer_.ForWire(*player));
    for (const PlayerInfo* group : peer_.names_.Groups()) reply.groups.push_back(*group);
    peer_.delivery_.SendSystem(*listener, reply);
    peer_.Log("machine " + std::to_string(joiner) + " at " + EndpointText(*listener) + " joined");
}

void NameServer::UnknownPinger(const Origin& origin, const SystemFrame& frame) {
    if (origin.connection) {
        peer_.delivery_.SendSystem(SessionPeer::SenderListener(origin, frame), YouAreDead{});
    } else {
        peer_.delivery_.SendSystemDatagram(origin.peer, YouAreDead{});
    }
}

void NameServer::ListenerLost(const Endpoint& listener) {
    // A joiner given an id that went before its forward request.
    std::erase_if(reservedMachines_, [&](const auto& entry) {
        if (entry.second != listener) return false;
        ids_.Release(entry.first);
        return true;
    });
    // Nor do joiners wait for a machine that can no longer be told of them.
    std::vector<PlayerId> ready;
    for (auto& [joiner, pending] : pendingJoins_)
        if (pending.unacknowledged.erase(listener) > 0 && pending.unacknowledged.empty())
            ready.push_back(joiner);
    for (const PlayerId joiner : ready) {
        pendingJoins_.erase(joiner);
        SendNameTable(joiner);
    }
}

void NameServer::Timer(Millis now) {
    std::vector<PlayerId> due;
    for (const auto& [joiner, pending] : pendingJoins_)
        if (now >= pending.deadline) due.push_back(joiner);
    for (const PlayerId joiner : due) {
        pendingJoins_.erase(joiner);
        SendNameTable(joiner);
    }
}

void NameServer::CollectDeadlines(std::vector<Millis>& deadlines) const {
    for (const auto& [joiner, pending] : pendingJoins_) deadlines.push_back(pending.deadline);
}

SessionDesc NameServer::CurrentDesc() const {
    SessionDesc desc = peer_.session_;
    desc.current_players = static_cast<std::uint32_t>(peer_.names_.VisiblePlayerCount());
    return desc;
}

bool NameServer::Full() const { return peer_.names_.VisiblePlayerCount() >= peer_.session_.max_players; }

}  // namespace tarnwick::directplay
