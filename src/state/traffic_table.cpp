#include "state/traffic_table.h"

#include <algorithm>

namespace tarnwick {

bool TrafficTable::Append(std::string name, std::int32_t id, std::string kind) {
    if (PlayerCount() >= kMaxEntries) return false;
    PlayerRecord& entry = entries_.emplace_back();
    entry.Name = std::move(name);
    entry.PlayerId = id;
    entry.Kind = std::move(kind);
    return true;
}

bool TrafficTable::AnyMatches(const SessionMember& player) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const PlayerRecord& entry) {
        return EntryMatches(entry, player.ShortName, player.Id);
    });
}

void TrafficTable::RemoveAt(std::int16_t i) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

int PruneTrafficTable(TrafficTable& table, std::span<const SessionMember> players) {
    int removed = 0;
    std::int16_t i = 0;
    // Re-examining the same index after a removal is what keeps two adjacent
    // leavers from protecting each other.
    while (i < table.PlayerCount()) {
        const PlayerRecord& entry = table[i];
        const bool inSession = std::any_of(players.begin(), players.end(), [&](const SessionMember& player) {
            return EntryMatches(entry, player.ShortName, player.Id);
        });
        if (inSession) {
            ++i;
        } else {
            table.RemoveAt(i);
            ++removed;
        }
    }
    return removed;
}

}  // namespace tarnwick
