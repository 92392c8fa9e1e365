#pragma once
// The session's players and groups as one machine knows them: every machine's
// system player, the visible players each owns, the groups with their members,
// and where each machine listens.
//
// Addresses are stored resolved: a record that arrives with 0.0.0.0 in its SP
// data gets the address of the machine it came from (WithSenderAddress).
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "multiplayer/directplay/structures.h"

namespace tarnwick::directplay {

class NameTable {
   public:
    // Adds or replaces a player (system or visible).
    void AddPlayer(PlayerInfo player, std::uint32_t sender_ip);
    void AddGroup(PlayerInfo group, std::uint32_t sender_ip);

    // Removes the player and its memberships. Removing a system player removes
    // its whole machine: its players and the groups it created. Returns every
    // player id removed (groups not included).
    std::vector<PlayerId> RemovePlayer(PlayerId id);
    bool RemoveGroup(PlayerId id);
    bool AddToGroup(PlayerId player, PlayerId group);
    bool RemoveFromGroup(PlayerId player, PlayerId group);
    bool AddShortcut(PlayerId child, PlayerId parent);
    bool RemoveShortcut(PlayerId child, PlayerId parent);
    bool SetData(PlayerId id, std::vector<std::uint8_t> data);
    bool SetNames(PlayerId id, std::u16string short_name, std::u16string long_name);

    const PlayerInfo* FindPlayer(PlayerId id) const;
    const PlayerInfo* FindGroup(PlayerId id) const;
    std::optional<PlayerId> FindGroupByName(std::u16string_view short_name) const;
    // The system player of the machine that owns this player (itself for one).
    const PlayerInfo* MachineOf(PlayerId player) const;
    // The system player of the machine whose TCP listener this is.
    const PlayerInfo* MachineListeningAt(const Endpoint& listener) const;
    // Machines (system player ids) with a member in the group, or that own a
    // player: where a message to that id must go.
    std::vector<PlayerId> MachinesFor(PlayerId player_or_group) const;

    std::vector<const PlayerInfo*> Players() const;
    std::vector<const PlayerInfo*> Groups() const;
    std::vector<PlayerId> SystemPlayers() const;
    // Visible (not system) players, which a session's player count counts.
    std::size_t VisiblePlayerCount() const;
    // The system player flagged as the name server (the session host).
    std::optional<PlayerId> Host() const;
    // Moves the name server flag to this system player (host migration).
    bool SetHost(PlayerId system_player);
    void Clear();

   private:
    void RefreshInGroupFlag(PlayerId player);
    std::map<PlayerId, PlayerInfo> players_;
    std::map<PlayerId, PlayerInfo> groups_;
};

}  // namespace tarnwick::directplay
