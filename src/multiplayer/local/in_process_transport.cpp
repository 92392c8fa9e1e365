#include "multiplayer/local/in_process_transport.h"

#include <algorithm>

namespace tarnwick {

InProcessTransport::~InProcessTransport() {
    try {
        Close();
    } catch (const SessionError&) {
        // The session is gone already.
    }
}

void InProcessTransport::StartInitializeConnection(int number) {
    if (number != 1) throw SessionError("no such connection type");
    initialized_ = true;
}

void InProcessTransport::StartEnumerateSessions() {
    if (!initialized_) throw SessionError("no connection type chosen");
    found_.clear();
    if (auto hosted = hub_.Hosted()) found_.push_back(std::move(*hosted));
}

void InProcessTransport::StartOpen(const SessionDescription& session) {
    if (!initialized_) throw SessionError("no connection type chosen");
    if (open_) throw SessionError("a session is open already");
    const auto hosted = hub_.Hosted();
    if (!hosted || hosted->InstanceKey != session.InstanceKey)
        throw SessionError("the session is no longer there");
    open_ = true;
    generation_ = hub_.Generation();
}

void InProcessTransport::StartCreatePlayer(const std::string& friendlyName, const std::string&) {
    RequireJoined();
    localPlayers_.push_back(hub_.AddPlayer(friendlyName));
}

std::int32_t InProcessTransport::CreatedPlayer() {
    if (localPlayers_.empty()) throw SessionError("no player made");
    return localPlayers_.back();
}

void InProcessTransport::Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) {
    RequireJoined();
    RequireLocal(from);
    hub_.Send(from, to, message);
}

std::int32_t InProcessTransport::MessageCount(std::int32_t player) {
    RequireJoined();
    RequireLocal(player);
    return hub_.MessageCount(player);
}

ReceivedMessage InProcessTransport::Receive() {
    RequireJoined();
    for (std::int32_t player : localPlayers_) {
        if (auto message = hub_.Receive(player)) return std::move(*message);
    }
    throw SessionError("no message is waiting");
}

std::vector<SessionMember> InProcessTransport::Groups() {
    RequireJoined();
    return hub_.Groups();
}

std::vector<SessionMember> InProcessTransport::Players() {
    RequireJoined();
    return hub_.Players();
}

void InProcessTransport::AddPlayerToGroup(std::int32_t group, std::int32_t player) {
    RequireJoined();
    hub_.AddPlayerToGroup(group, player);
}

std::string InProcessTransport::FriendlyName(std::int32_t player) {
    RequireJoined();
    return hub_.FriendlyName(player);
}

void InProcessTransport::DestroyPlayer(std::int32_t player) {
    RequireJoined();
    RequireLocal(player);
    std::erase(localPlayers_, player);
    hub_.RemovePlayer(player);
}

void InProcessTransport::Close() {
    if (!open_) return;
    open_ = false;
    const bool sameSession = hub_.IsHosted() && hub_.Generation() == generation_;
    for (std::int32_t player : localPlayers_) {
        if (sameSession && hub_.HasPlayer(player)) hub_.RemovePlayer(player);
    }
    localPlayers_.clear();
}

bool InProcessTransport::SessionLost() {
    if (!open_) return false;
    if (!hub_.IsHosted() || hub_.Generation() != generation_) return true;
    // A player of ours that someone else removed has lost the session too.
    return std::any_of(localPlayers_.begin(), localPlayers_.end(),
                       [&](std::int32_t player) { return !hub_.HasPlayer(player); });
}

void InProcessTransport::RequireJoined() {
    if (!open_) throw SessionError("no session is open");
    if (SessionLost()) throw SessionError("the session was lost");
}

void InProcessTransport::RequireLocal(std::int32_t player) const {
    if (std::find(localPlayers_.begin(), localPlayers_.end(), player) == localPlayers_.end()) {
        throw SessionError("not a player of this machine: " + std::to_string(player));
    }
}

void JoinHostedSession(InProcessTransport& transport) {
    transport.StartInitializeConnection(1);
    transport.StartEnumerateSessions();
    transport.StartOpen(transport.FoundSessions().at(0));
}

std::int32_t JoinWithPlayer(InProcessTransport& transport, const std::string& friendlyName) {
    JoinHostedSession(transport);
    transport.StartCreatePlayer(friendlyName, "Player");
    return transport.CreatedPlayer();
}

}  // namespace tarnwick
