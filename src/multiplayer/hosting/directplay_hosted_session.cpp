#include "multiplayer/hosting/directplay_hosted_session.h"

#include <algorithm>

namespace tarnwick {

std::int32_t DirectPlayHostedSession::AddPlayer(const std::string& friendlyName) {
    if (!host_.Running()) throw SessionError("the session is not open");
    const directplay::PlayerId id = host_.CreateLocalPlayer(friendlyName);
    if (id == 0) throw SessionError("the session has no free player id");
    queues_[ProgramPlayerId(id)];
    return ProgramPlayerId(id);
}

void DirectPlayHostedSession::RemovePlayer(std::int32_t player) {
    if (queues_.erase(player) == 0) throw SessionError("no such player: " + std::to_string(player));
    host_.DestroyLocalPlayer(WirePlayerId(player));
}

std::int32_t DirectPlayHostedSession::AddGroup(const std::string& name) {
    if (!host_.Running()) throw SessionError("the session is not open");
    const directplay::PlayerId id = host_.CreateGroup(name);
    if (id == 0) throw SessionError("the session has no free group id");
    return ProgramPlayerId(id);
}

void DirectPlayHostedSession::Send(std::int32_t from, std::int32_t to,
                                   std::span<const std::uint8_t> message) {
    if (!queues_.contains(from)) throw SessionError("no such player: " + std::to_string(from));
    if (!host_.Running()) throw SessionError("the session is closed");
    Queue(from, to, message);
    if (!queues_.contains(to)) host_.SendGameMessage(WirePlayerId(from), WirePlayerId(to), message, true);
}

std::optional<ReceivedMessage> DirectPlayHostedSession::Receive(std::int32_t player) {
    const auto queue = queues_.find(player);
    if (queue == queues_.end()) throw SessionError("no such player: " + std::to_string(player));
    if (queue->second.empty()) return std::nullopt;
    ReceivedMessage message = std::move(queue->second.front());
    queue->second.pop_front();
    return message;
}

void DirectPlayHostedSession::Deliver(const directplay::action::Deliver& message) {
    Queue(ProgramPlayerId(message.from), ProgramPlayerId(message.to), message.payload);
}

void DirectPlayHostedSession::Queue(std::int32_t from, std::int32_t to,
                                    std::span<const std::uint8_t> message) {
    for (auto& [player, queue] : queues_) {
        if (player == from) continue;
        if (to == kAllPlayers || to == player || IsGroupMember(to, player))
            queue.push_back({from, player, std::vector<std::uint8_t>(message.begin(), message.end())});
    }
}

bool DirectPlayHostedSession::IsGroupMember(std::int32_t group, std::int32_t player) const {
    const directplay::PlayerInfo* info = host_.Names().FindGroup(WirePlayerId(group));
    return info != nullptr && std::ranges::find(info->members, WirePlayerId(player)) != info->members.end();
}

}  // namespace tarnwick
