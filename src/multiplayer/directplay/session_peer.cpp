#include "multiplayer/directplay/session_peer.h"

#include <algorithm>
#include <utility>

#include "multiplayer/directplay/host_election.h"
#include "multiplayer/directplay/utf16_text.h"

namespace tarnwick::directplay {
namespace {

// A host that has just left may hold the enumeration port a little longer.
constexpr Millis kEnumerationRetry{1000};

std::string MachineText(PlayerId machine, const std::optional<Endpoint>& listener) {
    std::string text = "machine " + std::to_string(machine);
    if (listener) text += " at " + EndpointText(*listener);
    return text;
}

}  // namespace

SessionPeer::SessionPeer(const PeerConfig& config, const Clock& clock)
    : config_(config), delivery_(actions_, clock, config.reconnect_interval), clock_(clock) {
    delivery_.SetDialect(config.dialect);
}

SessionPeer::~SessionPeer() = default;

void SessionPeer::OnSocketsOpen(std::uint16_t tcp_port, std::uint16_t udp_port) {
    tcpPort_ = tcp_port;
    udpPort_ = udp_port;
    delivery_.SetOwnTcpPort(tcp_port);
    socketsOpen_ = true;
    SocketsReady();
}

void SessionPeer::OnSocketsFailed(const std::string& reason) { SocketsFailed(reason); }

void SessionPeer::OnEnumerationOpen(bool udp, bool tcp) {
    const std::string port = std::to_string(ServingConfig().enumeration_port);
    if (udp) {
        if (enumerationRetry_) Log("opened UDP port " + port + ": the session can be found on this computer");
        enumerationRetry_.reset();
        if (!tcp) Log("could not open TCP port " + port);
        return;
    }
    // The port may still be held, e.g. by the host that has just left.
    if (!enumerationRetry_)
        Log("could not open UDP port " + port +
            ": machines that search for the session on this computer do not find it until it opens; "
            "trying again every second");
    enumerationRetry_ = Now() + kEnumerationRetry;
}

ConnectionId SessionPeer::OnAccepted(const Endpoint& peer) { return delivery_.Accept(peer); }

void SessionPeer::OnConnected(ConnectionId connection) { delivery_.Connected(connection); }

void SessionPeer::OnClosed(ConnectionId connection) {
    const auto lost = delivery_.Closed(connection);
    if (!lost) return;
    Log((lost->refused ? "could not connect to " : "the connection to ") + EndpointText(lost->listener) +
        (lost->refused ? "" : " closed"));
    if (nameServer_) nameServer_->ListenerLost(lost->listener);
    nextCheck_ = Now();  // a refusal may tell that a silent machine has gone
    const PlayerInfo* machine = names_.MachineListeningAt(lost->listener);
    // Whether a machine whose connection closed still listens is worth a look:
    // one that refuses and stays silent has gone (CheckMachines).
    if (machine != nullptr && !lost->refused && InSession()) {
        delivery_.Probe(lost->listener);
        if (machine->sp_data)
            delivery_.SendSystemDatagram(machine->sp_data->udp, Ping{ownSystem_, TickCount()});
    }
    ListenerLost(*lost);
}

void SessionPeer::OnTcpData(ConnectionId connection, std::span<const std::uint8_t> bytes) {
    delivery_.TcpData(connection, bytes,
                      [this](const Origin& origin, Inbound& inbound) { Dispatch(origin, inbound); });
}

void SessionPeer::OnDatagram(const Endpoint& from, std::span<const std::uint8_t> bytes) {
    delivery_.Datagram(from, bytes,
                       [this](const Origin& origin, Inbound& inbound) { Dispatch(origin, inbound); });
}

void SessionPeer::OnTimer() {
    const Millis now = Now();
    if (InSession()) CheckMachines(now);
    if (nameServer_ && enumerationRetry_ && now >= *enumerationRetry_) {
        enumerationRetry_ = now + kEnumerationRetry;
        Emit(action::OpenEnumeration{ServingConfig().enumeration_port});
    }
    if (nameServer_) nameServer_->Timer(now);
    Timer(now);
}

std::optional<Millis> SessionPeer::NextDeadline() const {
    std::vector<Millis> deadlines;
    if (InSession()) {
        if (nextCheck_) deadlines.push_back(*nextCheck_);
        if (awaitedHost_) deadlines.push_back(nextPing_);
    }
    if (nameServer_) nameServer_->CollectDeadlines(deadlines);
    if (nameServer_ && enumerationRetry_) deadlines.push_back(*enumerationRetry_);
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
        if (!Reaches(machine)) continue;
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
    if (!Reaches(machine)) return;
    if (const auto listener = ListenerOf(machine)) delivery_.SendSystem(*listener, message);
}

void SessionPeer::SendToOtherMachines(const SystemMessage& message) {
    for (const PlayerId machine : names_.SystemPlayers()) SendToMachine(machine, message);
}

std::optional<Endpoint> SessionPeer::ListenerOf(PlayerId machine) const {
    const PlayerInfo* info = names_.FindPlayer(machine);
    if (info == nullptr || !info->sp_data) return std::nullopt;
    return info->sp_data->tcp;
}

bool SessionPeer::Reaches(PlayerId machine) const {
    if (machine == ownSystem_) return false;
    if (!config_.ignored) return true;
    const auto listener = ListenerOf(machine);
    return !listener || !config_.ignored(*listener);
}

Endpoint SessionPeer::SenderListener(const Origin& origin, const SystemFrame& frame) {
    return {ResolveAddress(frame.header_address.ip, origin.peer.ip), frame.header_address.port};
}

const PlayerInfo* SessionPeer::SendingMachine(const Origin& origin, const SystemFrame& frame) const {
    return names_.MachineListeningAt(SenderListener(origin, frame));
}

bool SessionPeer::FromHost(const Origin& origin, const SystemFrame& frame) const {
    const auto host = names_.Host();
    if (host && *host == ownSystem_) return false;
    const Endpoint sender = SenderListener(origin, frame);
    return host ? ListenerOf(*host) == sender : sender == hostListener_;
}

SpData SessionPeer::OwnSpData() const { return {{kAnyAddress, tcpPort_}, {kAnyAddress, udpPort_}}; }

PlayerInfo SessionPeer::ForWire(const PlayerInfo& player) const {
    PlayerInfo out = player;
    if (ownSystem_ != 0 && (player.id == ownSystem_ || player.system_player == ownSystem_)) {
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
    const bool host = machine && names_.Host() == id && id != ownSystem_;
    std::vector<PlayerId> visible;
    for (const PlayerInfo* player : names_.Players())
        if (!player->IsSystemPlayer() && (player->id == id || (machine && player->system_player == id)))
            visible.push_back(player->id);
    const std::vector<PlayerId> removed = names_.RemovePlayer(id);
    if (nameServer_) nameServer_->Released(removed);
    heard_.erase(id);
    for (const PlayerId gone : visible) Emit(action::PlayerDestroyed{gone});
    if (host) HostGone("The host left the session.");
    if (machine && awaitedHost_ == id) ChooseNewHost();  // the next in line went too
}

Millis SessionPeer::LastHeard(PlayerId machine) const {
    const auto found = heard_.find(machine);
    return found == heard_.end() ? Millis{0} : found->second;
}

void SessionPeer::Serve(const NameServerConfig& config, std::uint32_t id_key) {
    nameServer_ = std::make_unique<NameServer>(*this, config, id_key);
}

void SessionPeer::StopServing() {
    nameServer_.reset();
    enumerationRetry_.reset();
}

void SessionPeer::Dispatch(const Origin& origin, Inbound& inbound) {
    if (auto* game = std::get_if<GameMessage>(&inbound)) {
        if (!InSession()) return;
        // Without ids (NOMESSAGEID sessions) there is no sender to check.
        if (delivery_.MessageIds()) {
            const PlayerInfo* machine = names_.MachineOf(game->from);
            if (machine == nullptr || !ArrivedFrom(*machine, origin)) {
                Log("dropped a game message from player " + std::to_string(game->from) + " that came from " +
                    EndpointText(origin.sender_listener.value_or(origin.peer)) +
                    ", not from its own machine");
                return;
            }
            heard_[machine->id] = Now();
        }
        Emit(action::Deliver{game->from, game->to, std::move(game->payload), origin.connection.has_value()});
        return;
    }
    const auto& frame = std::get<SystemFrame>(inbound);
    if (const PlayerInfo* machine = SendingMachine(origin, frame)) heard_[machine->id] = Now();
    if (HandleRoleMessage(origin, frame)) return;
    if (nameServer_ && nameServer_->Handle(origin, frame)) return;
    HandleCommon(origin, frame);
}

bool SessionPeer::ArrivedFrom(const PlayerInfo& machine, const Origin& origin) const {
    if (!machine.sp_data) return false;
    if (origin.sender_listener) return machine.sp_data->tcp == *origin.sender_listener;
    return machine.sp_data->udp == origin.peer;
}

bool SessionPeer::MayDelete(const PlayerInfo* sender, PlayerId player) const {
    if (sender == nullptr) return false;
    const PlayerInfo* owner = names_.MachineOf(player);
    return (owner != nullptr && owner->id == sender->id) || names_.Host() == sender->id;
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
                if (names_.FindPlayer(m.player_id) == nullptr) return;
                if (MayDelete(SendingMachine(origin, frame), m.player_id)) {
                    RemovePlayer(m.player_id);
                } else {
                    Log("ignored a DELETEPLAYER of player " + std::to_string(m.player_id) + " from " +
                        EndpointText(SenderListener(origin, frame)) + ", which neither owns it nor hosts");
                }
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
                sessionName_ = m.name;
                delivery_.SetMessageIds((m.desc.flags & session_flags::kNoMessageId) == 0);
            } else if constexpr (std::is_same_v<T, Ping>) {
                if (names_.FindPlayer(m.id_from) == nullptr) {
                    if (nameServer_) nameServer_->UnknownPinger(origin, frame);
                } else if (origin.connection) {
                    delivery_.SendSystem(SenderListener(origin, frame), PingReply{ownSystem_, m.tick_count});
                } else {
                    delivery_.SendSystemDatagram(origin.peer, PingReply{ownSystem_, m.tick_count});
                }
            } else if constexpr (std::is_same_v<T, PingReply>) {
                // Dispatch has noted the sign of life.
            } else if constexpr (std::is_same_v<T, IAmNameServer>) {
                OnHostClaim(origin, frame, m);
            } else {
                Log("ignored " + CommandName(frame.message) + " from " + EndpointText(origin.peer));
            }
        },
        frame.message);
}

void SessionPeer::OnHostClaim(const Origin& origin, const SystemFrame& frame, const IAmNameServer& claim) {
    const PlayerInfo* sender = SendingMachine(origin, frame);
    if (sender == nullptr || sender->id != claim.host_id || sender->id == ownSystem_) {
        Log("ignored an IAMNAMESERVER for " + std::to_string(claim.host_id) + " from " +
            EndpointText(SenderListener(origin, frame)) + ", which is not that machine");
        return;
    }
    if (!nameServer_) {
        if (names_.Host() != claim.host_id || awaitedHost_) FollowHost(claim.host_id);
        return;
    }
    // Two machines that both took over: the one first in line keeps the
    // session, so that both come to the same answer.
    if (PrecedesAsHost(claim.host_id, ownSystem_)) {
        Log(MachineText(claim.host_id, ListenerOf(claim.host_id)) +
            " hosts the session as well and is first in line; it hosts");
        StopServing();
        FollowHost(claim.host_id);
    } else {
        nameServer_->Announce(claim.host_id);
    }
}

void SessionPeer::FollowHost(PlayerId machine) {
    awaitedHost_.reset();
    names_.SetHost(machine);
    if (const auto listener = ListenerOf(machine)) hostListener_ = *listener;
    Log(MachineText(machine, ListenerOf(machine)) + " hosts the session now");
    Emit(action::HostChanged{machine, false});
}

void SessionPeer::CheckMachines(Millis now) {
    // Only a refusal starts the count, so the machines are looked at after
    // one and then when the first of them would be gone, not at every turn:
    // a tool runs hundreds of machines, each knowing hundreds.
    if (nextCheck_ && now >= *nextCheck_) {
        nextCheck_.reset();
        std::vector<PlayerId> gone;
        for (const PlayerId machine : names_.SystemPlayers()) {
            const auto at = GoneAt(machine);
            if (!at) continue;
            if (now >= *at) {
                gone.push_back(machine);
            } else if (!nextCheck_ || *at < *nextCheck_) {
                nextCheck_ = *at;
            }
        }
        for (const PlayerId machine : gone) MachineVanished(machine);
    }
    if (awaitedHost_ && now >= nextPing_) PingSilentMachines(now);
}

std::optional<Millis> SessionPeer::GoneAt(PlayerId machine) const {
    if (!Reaches(machine)) return std::nullopt;
    const auto listener = ListenerOf(machine);
    if (!listener) return std::nullopt;
    const auto refused = delivery_.RefusedAt(*listener);
    if (!refused) return std::nullopt;
    // A machine never heard from counts from the refusal.
    const auto found = heard_.find(machine);
    const Millis heard = found == heard_.end() ? *refused : found->second;
    if (*refused < heard) return std::nullopt;
    return heard + config_.silence_limit;
}

void SessionPeer::MachineVanished(PlayerId machine) {
    if (names_.FindPlayer(machine) == nullptr) return;  // went with a host before it
    Log(MachineText(machine, ListenerOf(machine)) + " has sent nothing for " +
        std::to_string(config_.silence_limit.count() / 1000) +
        " s and refuses connections: it has left the session");
    std::vector<PlayerId> players;
    for (const PlayerInfo* player : names_.Players())
        if (player->system_player == machine && player->id != machine) players.push_back(player->id);
    players.push_back(machine);
    RemovePlayer(machine);
    if (nameServer_) nameServer_->TellRemoved(players);
}

void SessionPeer::HostGone(const std::string& reason) {
    if ((session_.flags & session_flags::kMigrateHost) == 0) {
        SessionEnded(reason);
        return;
    }
    Log(reason + " The session allows host migration: it goes on.");
    ChooseNewHost();
}

void SessionPeer::ChooseNewHost() {
    awaitedHost_.reset();
    const auto elected = ElectHost(names_);
    if (!elected) return;
    if (*elected == ownSystem_) {
        Log("this machine is first in line and hosts the session now");
        names_.SetHost(ownSystem_);
        Serve(ServingConfig(), session_.reserved1);
        nameServer_->TakeOver();
        Emit(action::HostChanged{ownSystem_, true});
        return;
    }
    Log("waiting for " + MachineText(*elected, ListenerOf(*elected)) + ", first in line, to host");
    awaitedHost_ = *elected;
    nextPing_ = Now();
}

void SessionPeer::PingSilentMachines(Millis now) {
    for (const PlayerId machine : names_.SystemPlayers()) {
        const PlayerInfo* info = names_.FindPlayer(machine);
        if (!Reaches(machine) || !info->sp_data || now - LastHeard(machine) < config_.ping_period) continue;
        delivery_.SendSystemDatagram(info->sp_data->udp, Ping{ownSystem_, TickCount()});
    }
    nextPing_ = now + config_.ping_period;
}

}  // namespace tarnwick::directplay
