#include "multiplayer/directplay/name_table.h"

#include <algorithm>
#include <set>

namespace tarnwick::directplay {
namespace {

bool Contains(const std::vector<PlayerId>& ids, PlayerId id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool Erase(std::vector<PlayerId>& ids, PlayerId id) {
    const auto it = std::find(ids.begin(), ids.end(), id);
    if (it == ids.end()) return false;
    ids.erase(it);
    return true;
}

}  // namespace

void NameTable::AddPlayer(PlayerInfo player, std::uint32_t sender_ip) {
    if (player.sp_data) player.sp_data = WithSenderAddress(*player.sp_data, sender_ip);
    if (player.IsSystemPlayer()) player.system_player = player.id;
    player.flags &= ~player_flags::kLocal;  // meaningful only to the sender
    player.members.clear();
    const PlayerId id = player.id;
    players_[id] = std::move(player);
    RefreshInGroupFlag(id);
}

void NameTable::AddGroup(PlayerInfo group, std::uint32_t sender_ip) {
    if (group.sp_data) group.sp_data = WithSenderAddress(*group.sp_data, sender_ip);
    group.flags &= ~player_flags::kLocal;
    const PlayerId id = group.id;
    groups_[id] = std::move(group);
    for (const auto member : groups_[id].members) RefreshInGroupFlag(member);
}

std::vector<PlayerId> NameTable::RemovePlayer(PlayerId id) {
    const auto found = players_.find(id);
    if (found == players_.end()) return {};
    std::vector<PlayerId> removed;
    if (found->second.IsSystemPlayer()) {
        for (const auto& [other, info] : players_)
            if (other != id && info.system_player == id) removed.push_back(other);
        std::erase_if(groups_, [&](const auto& entry) { return entry.second.system_player == id; });
    }
    removed.push_back(id);
    for (const auto gone : removed) {
        players_.erase(gone);
        for (auto& [group_id, group] : groups_) Erase(group.members, gone);
    }
    return removed;
}

bool NameTable::RemoveGroup(PlayerId id) {
    const auto found = groups_.find(id);
    if (found == groups_.end()) return false;
    const auto members = found->second.members;
    groups_.erase(found);
    for (auto& [other, group] : groups_) Erase(group.shortcuts, id);
    for (const auto member : members) RefreshInGroupFlag(member);
    return true;
}

bool NameTable::AddToGroup(PlayerId player, PlayerId group) {
    const auto found = groups_.find(group);
    if (found == groups_.end() || !players_.contains(player)) return false;
    if (!Contains(found->second.members, player)) found->second.members.push_back(player);
    RefreshInGroupFlag(player);
    return true;
}

bool NameTable::RemoveFromGroup(PlayerId player, PlayerId group) {
    const auto found = groups_.find(group);
    if (found == groups_.end() || !Erase(found->second.members, player)) return false;
    RefreshInGroupFlag(player);
    return true;
}

bool NameTable::AddShortcut(PlayerId child, PlayerId parent) {
    const auto found = groups_.find(parent);
    if (found == groups_.end() || !groups_.contains(child) || child == parent) return false;
    if (!Contains(found->second.shortcuts, child)) found->second.shortcuts.push_back(child);
    return true;
}

bool NameTable::RemoveShortcut(PlayerId child, PlayerId parent) {
    const auto found = groups_.find(parent);
    return found != groups_.end() && Erase(found->second.shortcuts, child);
}

bool NameTable::SetData(PlayerId id, std::vector<std::uint8_t> data) {
    PlayerInfo* entry = players_.contains(id) ? &players_[id] : groups_.contains(id) ? &groups_[id] : nullptr;
    if (entry == nullptr) return false;
    entry->data = std::move(data);
    return true;
}

bool NameTable::SetNames(PlayerId id, std::u16string short_name, std::u16string long_name) {
    PlayerInfo* entry = players_.contains(id) ? &players_[id] : groups_.contains(id) ? &groups_[id] : nullptr;
    if (entry == nullptr) return false;
    entry->short_name = std::move(short_name);
    entry->long_name = std::move(long_name);
    return true;
}

const PlayerInfo* NameTable::FindPlayer(PlayerId id) const {
    const auto found = players_.find(id);
    return found == players_.end() ? nullptr : &found->second;
}

const PlayerInfo* NameTable::FindGroup(PlayerId id) const {
    const auto found = groups_.find(id);
    return found == groups_.end() ? nullptr : &found->second;
}

std::optional<PlayerId> NameTable::FindGroupByName(std::u16string_view short_name) const {
    for (const auto& [id, group] : groups_)
        if (group.short_name == short_name) return id;
    return std::nullopt;
}

const PlayerInfo* NameTable::MachineOf(PlayerId player) const {
    const PlayerInfo* info = FindPlayer(player);
    if (info == nullptr) return nullptr;
    return info->IsSystemPlayer() ? info : FindPlayer(info->system_player);
}

const PlayerInfo* NameTable::MachineListeningAt(const Endpoint& listener) const {
    for (const auto& [id, info] : players_)
        if (info.IsSystemPlayer() && info.sp_data && info.sp_data->tcp == listener) return &info;
    return nullptr;
}

std::vector<PlayerId> NameTable::MachinesFor(PlayerId player_or_group) const {
    std::set<PlayerId> machines;
    if (player_or_group == kAllPlayers) {
        for (const auto id : SystemPlayers()) machines.insert(id);
    } else if (const PlayerInfo* machine = MachineOf(player_or_group)) {
        machines.insert(machine->id);
    } else if (const PlayerInfo* group = FindGroup(player_or_group)) {
        for (const auto member : group->members)
            if (const PlayerInfo* owner = MachineOf(member)) machines.insert(owner->id);
    }
    return {machines.begin(), machines.end()};
}

std::vector<const PlayerInfo*> NameTable::Players() const {
    std::vector<const PlayerInfo*> out;
    for (const auto& [id, info] : players_) out.push_back(&info);
    return out;
}

std::vector<const PlayerInfo*> NameTable::Groups() const {
    std::vector<const PlayerInfo*> out;
    for (const auto& [id, info] : groups_) out.push_back(&info);
    return out;
}

std::vector<PlayerId> NameTable::SystemPlayers() const {
    std::vector<PlayerId> out;
    for (const auto& [id, info] : players_)
        if (info.IsSystemPlayer()) out.push_back(id);
    return out;
}

std::size_t NameTable::VisiblePlayerCount() const {
    return static_cast<std::size_t>(std::count_if(
        players_.begin(), players_.end(), [](const auto& entry) { return !entry.second.IsSystemPlayer(); }));
}

std::optional<PlayerId> NameTable::Host() const {
    for (const auto& [id, info] : players_)
        if (info.IsSystemPlayer() && (info.flags & player_flags::kNameServer)) return id;
    return std::nullopt;
}

bool NameTable::SetHost(PlayerId system_player) {
    const auto found = players_.find(system_player);
    if (found == players_.end() || !found->second.IsSystemPlayer()) return false;
    for (auto& [id, info] : players_) info.flags &= ~player_flags::kNameServer;
    found->second.flags |= player_flags::kNameServer;
    return true;
}

void NameTable::Clear() {
    players_.clear();
    groups_.clear();
}

void NameTable::RefreshInGroupFlag(PlayerId player) {
    const auto found = players_.find(player);
    if (found == players_.end() || found->second.IsSystemPlayer()) return;  // system players always carry it
    const bool member = std::any_of(groups_.begin(), groups_.end(), [&](const auto& entry) {
        return Contains(entry.second.members, player);
    });
    if (member) {
        found->second.flags |= player_flags::kInGroup;
    } else {
        found->second.flags &= ~player_flags::kInGroup;
    }
}

}  // namespace tarnwick::directplay
