#pragma once
// The traffic table: one entry per session participant the program knows,
// with what its position reports and aircraft description said. Texts are
// Windows-1252 bytes as the session delivered them.
#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "state/session_member.h"

namespace tarnwick {

inline constexpr const char* kKindPlayer = "player";
inline constexpr const char* kKindObserver = "observer";

struct PlayerRecord {
    std::string Name;  // the player's friendly name in the session
    std::int32_t PlayerId = 0;
    std::string Kind;           // kKindPlayer or kKindObserver
    std::int32_t Altitude = 0;  // feet
    double Heading = 0.0;       // magnetic, whole degrees 0..360
    double Longitude = 0.0;
    double Latitude = 0.0;
    std::string Category;
    std::string Aircraft;
};

// An entry stands for a participant when both its name and its id agree: ids
// are reused by later sessions, names by later players.
inline bool EntryMatches(const PlayerRecord& entry, std::string_view name, std::int32_t id) {
    return entry.PlayerId == id && entry.Name == name;
}

// An entry's identity from one tick to the next, for what is remembered per
// aircraft: the same two values an entry is matched by.
struct PlayerKey {
    std::int32_t Id = 0;
    std::string Name;
    auto operator<=>(const PlayerKey&) const = default;
};

inline PlayerKey KeyOf(const PlayerRecord& entry) { return {entry.PlayerId, entry.Name}; }

class TrafficTable {
   public:
    // The count is a 16-bit number.
    static constexpr std::int16_t kMaxEntries = 32767;

    std::int16_t PlayerCount() const { return static_cast<std::int16_t>(entries_.size()); }
    std::span<const PlayerRecord> Entries() const { return entries_; }
    std::span<PlayerRecord> Entries() { return entries_; }
    const PlayerRecord& operator[](std::int16_t i) const { return entries_.at(static_cast<std::size_t>(i)); }
    PlayerRecord& operator[](std::int16_t i) { return entries_.at(static_cast<std::size_t>(i)); }

    // A new entry with every number 0 and both texts empty. False, with the
    // table unchanged, when it already holds kMaxEntries.
    [[nodiscard]] bool Append(std::string name, std::int32_t id, std::string kind);

    // Entries matching a message's sender. The sender's friendly name is asked
    // for only when an entry carries its id: the lookup goes to the session.
    template <typename NameOf>
    bool AnyMatchesSender(std::int32_t sender, NameOf&& friendlyName) const;
    template <typename NameOf, typename Update>
    void ForEachMatchingSender(std::int32_t sender, NameOf&& friendlyName, Update&& update);

    // The entry matching a player of a session enumeration.
    bool AnyMatches(const SessionMember& player) const;

    // Removes the entry at i; the entries after it move down keeping their order.
    void RemoveAt(std::int16_t i);

   private:
    std::vector<PlayerRecord> entries_;
};

template <typename NameOf>
bool TrafficTable::AnyMatchesSender(std::int32_t sender, NameOf&& friendlyName) const {
    for (const PlayerRecord& entry : entries_) {
        if (entry.PlayerId == sender && EntryMatches(entry, friendlyName(sender), sender)) return true;
    }
    return false;
}

template <typename NameOf, typename Update>
void TrafficTable::ForEachMatchingSender(std::int32_t sender, NameOf&& friendlyName, Update&& update) {
    for (PlayerRecord& entry : entries_) {
        if (entry.PlayerId == sender && EntryMatches(entry, friendlyName(sender), sender)) update(entry);
    }
}

// Removes every entry that matches no player of the session, keeping the order
// of the rest. Returns the number removed.
int PruneTrafficTable(TrafficTable& table, std::span<const SessionMember> players);

}  // namespace tarnwick
