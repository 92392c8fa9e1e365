#include "multiplayer/directplay/client_session.h"

#include <cstdio>
#include <utility>

#include "multiplayer/directplay/utf16_text.h"

namespace tarnwick::directplay {
namespace {

std::string Seconds(Millis time) { return std::to_string((time.count() + 999) / 1000) + " s"; }

std::string RefusalText(std::uint32_t result) {
    if (result == results::kNoNewPlayers) return "the session is full or closed to new players";
    if (result == results::kInvalidPassword) return "the password was not accepted";
    if (result == results::kCantCreatePlayer) return "the host could not create a player";
    char text[40];
    std::snprintf(text, sizeof text, "error 0x%08X", static_cast<unsigned>(result));
    return text;
}

}  // namespace

DirectPlayClient::DirectPlayClient(const ClientConfig& config, const Clock& clock)
    : SessionPeer(config.peer, clock), clientConfig_(config) {}

void DirectPlayClient::Start() {
    if (state_ != State::kIdle) return;
    state_ = State::kOpening;
    Emit(action::OpenSockets{clientConfig_.peer.tcp_ports, clientConfig_.peer.udp_ports, std::nullopt});
}

void DirectPlayClient::SocketsReady() {
    state_ = State::kReady;
    if (enumerationPending_) {
        enumerationPending_ = false;
        BeginEnumeration();
    }
    if (pendingJoin_) {
        const auto [session, request] = *std::exchange(pendingJoin_, std::nullopt);
        Join(session, request);
    }
}

void DirectPlayClient::SocketsFailed(const std::string& reason) {
    state_ = State::kIdle;
    Log("could not open the DirectPlay ports: " + reason);
    if (enumerationPending_) {
        enumerationPending_ = false;
        Emit(action::EnumerationDone{});
    }
    if (pendingJoin_) {
        pendingJoin_.reset();
        Emit(action::JoinFailed{"Could not open the DirectPlay ports: " + reason});
    }
}

void DirectPlayClient::Enumerate(std::optional<std::uint32_t> host_ip) {
    enumerationTarget_ = host_ip;
    found_.clear();
    if (!SocketsOpen()) {
        enumerationPending_ = true;
        Start();
        return;
    }
    BeginEnumeration();
}

void DirectPlayClient::BeginEnumeration() {
    enumerationEnd_ = Now() + clientConfig_.enumeration_time;
    nextEnumeration_ = Now() + clientConfig_.enumeration_repeat;
    SendEnumeration();
}

void DirectPlayClient::SendEnumeration() {
    const Endpoint to{enumerationTarget_.value_or(kBroadcastAddress), clientConfig_.enumeration_port};
    delivery_.SendSystemDatagram(
        to, EnumSessions{clientConfig_.application, clientConfig_.enumeration_flags, {}});
}

void DirectPlayClient::Join(const SessionInfo& session, const JoinRequest& request) {
    if (state_ != State::kIdle && state_ != State::kOpening && state_ != State::kReady) {
        Emit(action::JoinFailed{"A session is already joined or being joined."});
        return;
    }
    if (const auto reason = UnsupportedSessionReason(session.desc.flags)) {
        Emit(action::JoinFailed{*reason});
        return;
    }
    if (!SocketsOpen()) {
        pendingJoin_ = {session, request};
        Start();
        return;
    }
    joining_ = session;
    request_ = request;
    hostListener_ = session.host;
    session_ = session.desc;
    sessionName_ = session.name;
    delivery_.SetMessageIds((session.desc.flags & session_flags::kNoMessageId) == 0);
    delivery_.SendSystem(hostListener_, RequestPlayerId{player_flags::kSystemPlayer | player_flags::kLocal});
    state_ = State::kRequestingId;
    deadline_ = Now() + clientConfig_.reply_timeout;
}

bool DirectPlayClient::AddOwnPlayerToGroup(PlayerId group) {
    if (state_ != State::kJoined || ownPlayer_ == 0 || !names_.AddToGroup(ownPlayer_, group)) return false;
    SendToOtherMachines(AddPlayerToGroup{0, ownPlayer_, group});
    return true;
}

void DirectPlayClient::Leave() {
    if (state_ == State::kJoined || state_ == State::kCreatingPlayer) DeleteOwnPlayers();
    delivery_.CloseAll();
    ResetSession();
}

bool DirectPlayClient::HandleRoleMessage(const Origin& origin, const SystemFrame& frame) {
    return std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, EnumSessionsReply>) {
                OnEnumReply(origin, frame, m);
            } else if constexpr (std::is_same_v<T, RequestPlayerReply>) {
                OnPlayerReply(m);
            } else if constexpr (std::is_same_v<T, SuperEnumPlayersReply>) {
                OnNameTable(origin, m.desc, m.name, m.players, m.groups, m.shortcuts);
            } else if constexpr (std::is_same_v<T, EnumPlayersReply>) {
                OnNameTable(origin, m.desc, m.name, m.players, m.groups, {});
            } else if constexpr (std::is_same_v<T, AddForwardReply>) {
                if (state_ == State::kForwarding)
                    FailJoin("The host refused the join: " + RefusalText(m.error) + ".");
            } else if constexpr (std::is_same_v<T, AddForward>) {
                OnAddForward(origin, frame, m);
            } else if constexpr (std::is_same_v<T, YouAreDead>) {
                if (!FromHost(origin, frame)) {
                    Log("ignored a YOUAREDEAD from " + EndpointText(SenderListener(origin, frame)) +
                        ", which does not host the session");
                } else if (state_ == State::kJoined) {
                    LoseSession("The host removed this computer from the session.");
                } else if (state_ == State::kRequestingId || state_ == State::kForwarding ||
                           state_ == State::kCreatingPlayer) {
                    FailJoin("The host does not know this computer.");
                }
            } else {
                return false;
            }
            return true;
        },
        frame.message);
}

void DirectPlayClient::OnEnumReply(const Origin& origin, const SystemFrame& frame,
                                   const EnumSessionsReply& reply) {
    if (!enumerationEnd_) return;
    const SessionInfo info{reply.desc, reply.name, SenderListener(origin, frame)};
    if (found_.emplace(reply.desc.instance.bytes, info).second) Emit(action::SessionFound{info});
}

void DirectPlayClient::OnPlayerReply(const RequestPlayerReply& reply) {
    if (state_ == State::kRequestingId) {
        if (reply.result != results::kOk) {
            FailJoin("The host refused the join: " + RefusalText(reply.result) + ".");
            return;
        }
        ownSystem_ = reply.id;
        names_.Clear();
        PlayerInfo system;
        system.flags = player_flags::kSystemPlayer;
        system.id = ownSystem_;
        system.system_player = ownSystem_;
        system.version = config_.dialect;
        names_.AddPlayer(system, kAnyAddress);
        delivery_.SendSystem(hostListener_,
                             AddForwardRequest{0, ownSystem_, 0, ForWire(system),
                                               AnsiToUtf16(request_.password), session_.reserved1});
        state_ = State::kForwarding;
        deadline_ = Now() + clientConfig_.name_table_timeout;
    } else if (state_ == State::kCreatingPlayer) {
        if (reply.result != results::kOk) {
            FailJoin("The host refused a player for this computer: " + RefusalText(reply.result) + ".");
            return;
        }
        ownPlayer_ = reply.id;
        PlayerInfo player;
        player.id = ownPlayer_;
        player.system_player = ownSystem_;
        player.short_name = AnsiToUtf16(request_.player_name);
        player.long_name = AnsiToUtf16(request_.long_name);
        names_.AddPlayer(player, kAnyAddress);
        SendToOtherMachines(CreatePlayer{0, ownPlayer_, 0, ForWire(*names_.FindPlayer(ownPlayer_))});
        FinishJoin();
    } else {
        Log("ignored a REQUESTPLAYERREPLY nobody asked for");
    }
}

void DirectPlayClient::OnNameTable(const Origin& origin, const SessionDesc& desc, const std::u16string& name,
                                   const std::vector<PlayerInfo>& players,
                                   const std::vector<PlayerInfo>& groups,
                                   const std::vector<PlayerInfo>& shortcuts) {
    if (state_ != State::kForwarding) {
        Log("ignored a name table outside a join");
        return;
    }
    if (const auto reason = UnsupportedSessionReason(desc.flags)) {
        FailJoin(*reason);
        return;
    }
    session_ = desc;
    sessionName_ = name;
    delivery_.SetMessageIds((desc.flags & session_flags::kNoMessageId) == 0);
    for (const auto& player : players)
        if (player.id != ownSystem_) names_.AddPlayer(player, origin.peer.ip);
    for (const auto& group : groups) names_.AddGroup(group, origin.peer.ip);
    for (const auto& record : shortcuts)
        for (const PlayerId child : record.shortcuts) names_.AddShortcut(child, record.id);
    if (!names_.Host()) {
        if (const PlayerInfo* host = names_.MachineListeningAt(hostListener_)) names_.SetHost(host->id);
    }
    for (const PlayerInfo* player : names_.Players())
        if (!player->IsSystemPlayer())
            Emit(action::PlayerCreated{player->id, Utf16ToAnsi(player->short_name)});
    if (request_.visible_player) {
        RequestVisiblePlayer();
    } else {
        FinishJoin();
    }
}

void DirectPlayClient::RequestVisiblePlayer() {
    delivery_.SendSystem(hostListener_, RequestPlayerId{player_flags::kLocal});
    state_ = State::kCreatingPlayer;
    deadline_ = Now() + clientConfig_.reply_timeout;
}

bool DirectPlayClient::CreateVisiblePlayer(const std::string& name, const std::string& long_name) {
    if (state_ != State::kJoined || ownPlayer_ != 0) return false;
    request_.player_name = name;
    request_.long_name = long_name;
    request_.visible_player = true;
    RequestVisiblePlayer();
    return true;
}

bool DirectPlayClient::DestroyVisiblePlayer() {
    if (state_ != State::kJoined || ownPlayer_ == 0) return false;
    SendToOtherMachines(DeletePlayer{0, ownPlayer_, 0});
    names_.RemovePlayer(ownPlayer_);
    ownPlayer_ = 0;
    return true;
}

void DirectPlayClient::OnAddForward(const Origin& origin, const SystemFrame& frame,
                                    const AddForward& message) {
    if (!InSession()) {
        Log("ignored an ADDFORWARD outside a session");
        return;
    }
    // An address left at 0.0.0.0 is the one the header names, as for any
    // message: a host that passes the joiner's own header on names the joiner.
    names_.AddPlayer(message.player, SenderListener(origin, frame).ip);
    delivery_.SendSystem(hostListener_, AddForwardAck{message.player_id});
}

void DirectPlayClient::FinishJoin() {
    state_ = State::kJoined;
    deadline_.reset();
    nextKeepalive_ = Now() + clientConfig_.keepalive_period;
    missedPings_ = 0;
    Emit(action::Joined{ownSystem_, ownPlayer_});
}

void DirectPlayClient::FailJoin(const std::string& reason) {
    // A system player the host already gave us must not stay behind.
    if (ownSystem_ != 0) delivery_.SendSystem(hostListener_, DeletePlayer{0, ownSystem_, 0});
    delivery_.CloseAll();
    ResetSession();
    Emit(action::JoinFailed{reason});
}

void DirectPlayClient::LoseSession(const std::string& reason) {
    delivery_.CloseAll();
    ResetSession();
    Emit(action::SessionLost{reason});
}

void DirectPlayClient::DeleteOwnPlayers() {
    if (ownPlayer_ != 0) SendToOtherMachines(DeletePlayer{0, ownPlayer_, 0});
    if (ownSystem_ != 0) SendToOtherMachines(DeletePlayer{0, ownSystem_, 0});
}

void DirectPlayClient::ResetSession() {
    StopServing();
    names_.Clear();
    ownSystem_ = 0;
    ownPlayer_ = 0;
    deadline_.reset();
    if (state_ != State::kIdle && state_ != State::kOpening) state_ = State::kReady;
}

void DirectPlayClient::SessionEnded(const std::string& reason) {
    if (state_ == State::kJoined) LoseSession(reason);
    if (state_ == State::kCreatingPlayer) FailJoin(reason);
}

NameServerConfig DirectPlayClient::ServingConfig() const {
    return {clientConfig_.enumeration_port, request_.password, NameServerConfig{}.name_table_timeout};
}

void DirectPlayClient::ListenerLost(const LostListener& lost) {
    if (lost.listener != hostListener_ || Serving()) return;
    if (state_ == State::kRequestingId || state_ == State::kForwarding || state_ == State::kCreatingPlayer)
        FailJoin("Could not connect to the host at " + EndpointText(lost.listener) +
                 ". Check that the host is still running and that no firewall blocks TCP ports 2300-2349 "
                 "between the two computers.");
    // Where the host may hand over, its silence and its listener tell whether
    // it has gone (SessionPeer); elsewhere a lost host ends the session.
    else if (state_ == State::kJoined && (session_.flags & session_flags::kMigrateHost) == 0)
        LoseSession("The connection to the host was lost.");
}

void DirectPlayClient::Timer(Millis now) {
    if (enumerationEnd_) {
        if (now >= *enumerationEnd_) {
            enumerationEnd_.reset();
            Emit(action::EnumerationDone{});
        } else if (now >= nextEnumeration_) {
            SendEnumeration();
            nextEnumeration_ = now + clientConfig_.enumeration_repeat;
        }
    }
    if (deadline_ && now >= *deadline_) {
        if (state_ == State::kRequestingId)
            FailJoin("No answer from the host at " + EndpointText(hostListener_) + " within " +
                     Seconds(clientConfig_.reply_timeout) +
                     ". The host must be able to open TCP connections back to this computer: check that no "
                     "firewall blocks inbound TCP ports 2300-2349 and UDP ports 2350-2399.");
        else if (state_ == State::kForwarding)
            FailJoin("The host did not send the session's players within " +
                     Seconds(clientConfig_.name_table_timeout) + ".");
        else if (state_ == State::kCreatingPlayer)
            FailJoin("The host did not give this computer a player within " +
                     Seconds(clientConfig_.reply_timeout) + ".");
    }
    const bool keepalive = (session_.flags & session_flags::kKeepAlive) != 0;
    const auto host = names_.Host();
    if (state_ == State::kJoined && keepalive && !Serving() && host && now >= nextKeepalive_) {
        nextKeepalive_ = now + clientConfig_.keepalive_period;
        if (now - LastHeard(*host) < clientConfig_.keepalive_period) {
            missedPings_ = 0;
        } else if (++missedPings_ > clientConfig_.keepalive_missed_limit) {
            missedPings_ = 0;
            if ((session_.flags & session_flags::kMigrateHost) == 0) {
                LoseSession("The host stopped answering.");
            } else {
                RemovePlayer(*host);  // and another machine takes over
            }
            return;
        } else if (const PlayerInfo* info = names_.FindPlayer(*host); info->sp_data) {
            delivery_.SendSystemDatagram(info->sp_data->udp, Ping{ownSystem_, TickCount()});
        }
    }
}

void DirectPlayClient::CollectDeadlines(std::vector<Millis>& deadlines) const {
    if (enumerationEnd_) {
        deadlines.push_back(*enumerationEnd_);
        deadlines.push_back(nextEnumeration_);
    }
    if (deadline_) deadlines.push_back(*deadline_);
    if (state_ == State::kJoined && (session_.flags & session_flags::kKeepAlive))
        deadlines.push_back(nextKeepalive_);
}

}  // namespace tarnwick::directplay
