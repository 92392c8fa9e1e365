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
    : SessionPeer(config.peer, clock), hostConfig_(config), random_(config.seed) {
    Serve(ServingConfig(), config.id_key.value_or(static_cast<std::uint32_t>(random_())));
    session_.flags = config.session_flags;
    session_.instance = RandomGuid(random_);
    session_.application = config.application;
    session_.max_players = config.max_players;
    session_.reserved1 = Server()->IdKey();
    sessionName_ = AnsiToUtf16(config.session_name);
    delivery_.SetMessageIds((config.session_flags & session_flags::kNoMessageId) == 0);
    ownSystem_ = NewId();
    PlayerInfo system;
    system.flags = player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup;
    system.id = ownSystem_;
    system.system_player = ownSystem_;
    system.version = config.peer.dialect;
    names_.AddPlayer(system, kAnyAddress);
}

void DirectPlayHost::Start() {
    Emit(action::OpenSockets{hostConfig_.peer.tcp_ports, hostConfig_.peer.udp_ports,
                             hostConfig_.enumeration_port});
}

NameServerConfig DirectPlayHost::ServingConfig() const {
    return {hostConfig_.enumeration_port, hostConfig_.password, hostConfig_.name_table_timeout};
}

void DirectPlayHost::SocketsReady() {
    running_ = true;
    PlayerInfo system = *names_.FindPlayer(ownSystem_);
    system.sp_data = OwnSpData();
    names_.AddPlayer(system, kAnyAddress);
}

void DirectPlayHost::SocketsFailed(const std::string& reason) {
    Log("could not open the host's ports: " + reason);
}

PlayerId DirectPlayHost::NewId() {
    NameServer* server = Server();
    return server == nullptr ? 0 : server->AllocateId().value_or(0);
}

PlayerId DirectPlayHost::CreateLocalPlayer(const std::string& name, const std::string& long_name) {
    const PlayerId id = NewId();
    if (id == 0) return 0;
    PlayerInfo player;
    player.id = id;
    player.system_player = ownSystem_;
    player.short_name = AnsiToUtf16(name);
    player.long_name = AnsiToUtf16(long_name);
    names_.AddPlayer(player, kAnyAddress);
    SendToOtherMachines(CreatePlayer{0, id, 0, ForWire(player)});
    return id;
}

void DirectPlayHost::DestroyLocalPlayer(PlayerId player) {
    const PlayerInfo* info = names_.FindPlayer(player);
    if (info == nullptr || info->system_player != ownSystem_ || info->IsSystemPlayer()) return;
    SendToOtherMachines(DeletePlayer{0, player, 0});
    RemovePlayer(player);
}

PlayerId DirectPlayHost::CreateGroup(const std::string& name) {
    const PlayerId id = NewId();
    if (id == 0) return 0;
    PlayerInfo group;
    group.id = id;
    group.system_player = ownSystem_;
    group.version = config_.dialect;
    group.short_name = AnsiToUtf16(name);
    names_.AddGroup(group, kAnyAddress);
    SendToOtherMachines(directplay::CreateGroup{0, id, 0, group});
    return id;
}

bool DirectPlayHost::AddLocalPlayerToGroup(PlayerId player, PlayerId group) {
    if (!names_.AddToGroup(player, group)) return false;
    SendToOtherMachines(AddPlayerToGroup{0, player, group});
    return true;
}

void DirectPlayHost::Leave() {
    if (!running_) return;
    for (const PlayerInfo* player : names_.Players())
        if (!player->IsSystemPlayer() && player->system_player == ownSystem_)
            SendToOtherMachines(DeletePlayer{0, player->id, 0});
    SendToOtherMachines(DeletePlayer{0, ownSystem_, 0});
    delivery_.CloseAll();
    running_ = false;
}

}  // namespace tarnwick::directplay
