#include "controller_network.h"

#include <algorithm>

namespace tarnwick::coordination::testing {
namespace {

// Each player's machine is named by its own id plus this.
constexpr std::int32_t kMachineOffset = 0x100000;
constexpr std::int32_t kGroupOffset = 0x200000;

}  // namespace

std::int32_t ControllerNetwork::AddController(const std::string& name, const std::string& position,
                                              std::int32_t id, bool announce) {
    if (id == 0) id = nextId_++;
    ControllerNode node;
    node.Id = id;
    node.Name = name;
    node.Core = std::make_unique<Coordinator>(clock_, id, name, position);
    nodes_.emplace(id, std::move(node));
    if (announce) UpdateRosters();
    return id;
}

PlayerKey ControllerNetwork::AddPilot(const std::string& name, std::int32_t id) {
    if (id == 0) id = nextId_++;
    pilots_.push_back({id, name, id + kMachineOffset});
    UpdateRosters();
    return {id, name};
}

void ControllerNetwork::RemovePilot(const PlayerKey& pilot) {
    std::erase_if(pilots_, [&](const RosterPlayer& p) { return p.Id == pilot.Id && p.Name == pilot.Name; });
    UpdateRosters();
}

void ControllerNetwork::RemoveController(std::int32_t id) {
    nodes_.erase(id);
    std::erase_if(channels_,
                  [&](const auto& entry) { return entry.first.first == id || entry.first.second == id; });
    UpdateRosters();
}

void ControllerNetwork::DropGroup(std::int32_t id) {
    nodes_.at(id).InGroup = false;
    UpdateRosters();
}

SessionRoster ControllerNetwork::Roster() const {
    SessionRoster roster;
    roster.Players = pilots_;
    for (const auto& [id, node] : nodes_) {
        roster.Players.push_back({id, node.Name, id + kMachineOffset});
        if (node.InGroup) {
            roster.Groups.push_back(
                {id + kGroupOffset, std::string(kControllerGroupName), id + kMachineOffset, {id}});
        }
    }
    return roster;
}

void ControllerNetwork::UpdateRosters() {
    for (const auto& [id, node] : nodes_) UpdateRosterOf(id);
}

void ControllerNetwork::UpdateRosterOf(std::int32_t id) {
    nodes_.at(id).Core->UpdateRoster(Roster());
    Collect(id);
}

void ControllerNetwork::Collect(std::int32_t id) {
    ControllerNode& node = nodes_.at(id);
    for (Action& action : node.Core->TakeActions()) {
        if (auto* send = std::get_if<action::Send>(&action)) {
            sent_.push_back(send->Bytes);
            const auto target = nodes_.find(send->To);
            if (target == nodes_.end() || !target->second.InGroup) {
                straySends_.push_back({id, send->To});
                continue;
            }
            channels_[{id, send->To}].push_back(std::move(send->Bytes));
        } else if (auto* line = std::get_if<action::ControllerLine>(&action)) {
            node.ControllerLines.push_back(line->Text);
        } else if (auto* chat = std::get_if<action::ChatLine>(&action)) {
            node.ChatLines.push_back(chat->Text);
        } else if (auto* note = std::get_if<action::Note>(&action)) {
            node.Notes.push_back(note->Text);
        } else {
            ++node.StateChanges;
        }
    }
}

bool ControllerNetwork::DeliverOne(const Channel& channel) {
    const auto found = channels_.find(channel);
    if (found == channels_.end() || found->second.empty()) return false;
    std::vector<std::uint8_t> bytes = std::move(found->second.front());
    found->second.pop_front();
    if (nodes_.contains(channel.second)) {
        nodes_.at(channel.second).Core->OnMessage(channel.first, bytes);
        Collect(channel.second);
    }
    return true;
}

void ControllerNetwork::DeliverAll() {
    for (std::vector<Channel> busy = BusyChannels(); !busy.empty(); busy = BusyChannels()) {
        for (const Channel& channel : busy) DeliverOne(channel);
    }
}

std::vector<Channel> ControllerNetwork::BusyChannels() const {
    std::vector<Channel> busy;
    for (const auto& [channel, queue] : channels_) {
        if (!queue.empty()) busy.push_back(channel);
    }
    return busy;
}

std::size_t ControllerNetwork::Waiting(const Channel& channel) const {
    const auto found = channels_.find(channel);
    return found == channels_.end() ? 0 : found->second.size();
}

void ControllerNetwork::Tick() {
    for (auto& [id, node] : nodes_) {
        node.Core->OnTimer();
        Collect(id);
    }
}

void ControllerNetwork::Inject(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> bytes) {
    nodes_.at(to).Core->OnMessage(from, bytes);
    Collect(to);
}

}  // namespace tarnwick::coordination::testing
