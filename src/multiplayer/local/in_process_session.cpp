#include "multiplayer/local/in_process_session.h"

#include <limits>

namespace tarnwick {

void InProcessSessionHub::HostSession(std::string name, std::int32_t maxPlayers,
                                      std::string guidApplication) {
    EndSession();
    hosted_ = true;
    ++generation_;
    name_ = std::move(name);
    maxPlayers_ = maxPlayers;
    guidApplication_ = std::move(guidApplication);
}

void InProcessSessionHub::EndSession() {
    hosted_ = false;
    players_.clear();
    groups_.clear();
}

std::optional<SessionDescription> InProcessSessionHub::Hosted() const {
    if (!hosted_) return std::nullopt;
    SessionDescription description;
    description.SessionName = name_;
    description.CurrentPlayers = static_cast<std::int32_t>(players_.size());
    description.MaxPlayers = maxPlayers_;
    description.GuidApplication = guidApplication_;
    description.InstanceKey = "in-process session " + std::to_string(generation_);
    return description;
}

void InProcessSessionHub::RequireSession() const {
    if (!hosted_) throw SessionError("no session is hosted");
}

std::int32_t InProcessSessionHub::AddPlayer(const std::string& friendlyName) {
    RequireSession();
    if (static_cast<std::int64_t>(players_.size()) >= maxPlayers_) throw SessionError("the session is full");
    if (nextId_ == std::numeric_limits<std::int32_t>::max()) throw SessionError("no player ids left");
    const std::int32_t id = nextId_++;
    players_[id].Name = friendlyName;
    return id;
}

void InProcessSessionHub::RemovePlayer(std::int32_t player) {
    if (players_.erase(player) == 0) throw SessionError("no such player");
    for (auto& [id, group] : groups_) group.Members.erase(player);
}

std::int32_t InProcessSessionHub::AddGroup(const std::string& name) {
    RequireSession();
    if (nextId_ == std::numeric_limits<std::int32_t>::max()) throw SessionError("no group ids left");
    const std::int32_t id = nextId_++;
    groups_[id].Name = name;
    return id;
}

void InProcessSessionHub::AddPlayerToGroup(std::int32_t group, std::int32_t player) {
    const auto found = groups_.find(group);
    if (found == groups_.end()) throw SessionError("no such group");
    PlayerAt(player);
    found->second.Members.insert(player);
}

std::string InProcessSessionHub::FriendlyName(std::int32_t player) const { return PlayerAt(player).Name; }

std::vector<SessionMember> InProcessSessionHub::Players() const {
    RequireSession();
    std::vector<SessionMember> list;
    for (const auto& [id, player] : players_) list.push_back({player.Name, id});
    return list;
}

std::vector<SessionMember> InProcessSessionHub::Groups() const {
    RequireSession();
    std::vector<SessionMember> list;
    for (const auto& [id, group] : groups_) list.push_back({group.Name, id});
    return list;
}

void InProcessSessionHub::Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) {
    PlayerAt(from);
    if (to == kAllPlayers) {
        for (const auto& [id, player] : players_) {
            if (id != from) Deliver(from, id, message);
        }
    } else if (const auto group = groups_.find(to); group != groups_.end()) {
        for (std::int32_t id : group->second.Members) {
            if (id != from) Deliver(from, id, message);
        }
    } else {
        PlayerAt(to);
        Deliver(from, to, message);
    }
}

void InProcessSessionHub::Deliver(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) {
    PlayerAt(to).Queue.push_back({from, to, std::vector<std::uint8_t>(message.begin(), message.end())});
}

std::optional<ReceivedMessage> InProcessSessionHub::Receive(std::int32_t player) {
    auto& queue = PlayerAt(player).Queue;
    if (queue.empty()) return std::nullopt;
    ReceivedMessage message = std::move(queue.front());
    queue.pop_front();
    return message;
}

std::int32_t InProcessSessionHub::MessageCount(std::int32_t player) const {
    return static_cast<std::int32_t>(PlayerAt(player).Queue.size());
}

void InProcessSessionHub::Inject(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> message) {
    PlayerAt(to).Queue.push_back({from, to, std::move(message)});
}

InProcessSessionHub::Player& InProcessSessionHub::PlayerAt(std::int32_t id) {
    const auto found = players_.find(id);
    if (found == players_.end()) throw SessionError("no such player: " + std::to_string(id));
    return found->second;
}

const InProcessSessionHub::Player& InProcessSessionHub::PlayerAt(std::int32_t id) const {
    const auto found = players_.find(id);
    if (found == players_.end()) throw SessionError("no such player: " + std::to_string(id));
    return found->second;
}

}  // namespace tarnwick
