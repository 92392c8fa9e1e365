#include "multiplayer/identify_requests.h"

namespace tarnwick {

bool IdentifyRequests::ShouldAsk(std::int32_t player, std::chrono::milliseconds now) {
    const auto found = asked_.find(player);
    if (found != asked_.end()) {
        if (Recent(found->second, now)) return false;
        found->second = now;
        return true;
    }
    if (!MakeRoom(now)) return false;
    asked_.emplace(player, now);
    return true;
}

void IdentifyRequests::Asked(std::int32_t player, std::chrono::milliseconds now) {
    const auto found = asked_.find(player);
    if (found != asked_.end()) {
        found->second = now;
    } else if (MakeRoom(now)) {
        asked_.emplace(player, now);
    }
}

bool IdentifyRequests::MakeRoom(std::chrono::milliseconds now) {
    if (asked_.size() < kMostPlayers) return true;
    std::erase_if(asked_, [&](const auto& entry) { return !Recent(entry.second, now); });
    return asked_.size() < kMostPlayers;
}

}  // namespace tarnwick
