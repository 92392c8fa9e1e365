#pragma once
// Tarnwick controllers and pilots of one session, in memory: each controller a
// coordination core on a machine of its own, with one fake clock, a roster
// built from who is there, and a router that carries each message on the
// channel from its sender to its receiver. Channels keep their order, as
// DirectPlay's guaranteed sends do; tests choose which channel delivers next.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "multiplayer/coordination/coordinator.h"

namespace tarnwick::coordination::testing {

class ManualClock : public Clock {
   public:
    Millis Now() const override { return now_; }
    void Advance(Millis by) { now_ += by; }

   private:
    Millis now_{100000};
};

struct ControllerNode {
    std::int32_t Id = 0;
    std::string Name;
    std::unique_ptr<Coordinator> Core;
    std::vector<std::string> ControllerLines;
    std::vector<std::string> ChatLines;
    std::vector<std::string> Notes;
    int StateChanges = 0;
    bool InGroup = true;  // its Tarnwick group is in the session
};

using Channel = std::pair<std::int32_t, std::int32_t>;  // from, to

class ControllerNetwork {
   public:
    // A controller's player; it joins the roster of everyone at once, or of
    // no one until UpdateRosterOf says so.
    std::int32_t AddController(const std::string& name, const std::string& position, std::int32_t id = 0,
                               bool announce = true);
    PlayerKey AddPilot(const std::string& name, std::int32_t id = 0);
    void RemovePilot(const PlayerKey& pilot);
    // Its player goes from the session, with whatever it had still to send.
    void RemoveController(std::int32_t id);
    // Its group goes, its player stays.
    void DropGroup(std::int32_t id);
    // Every controller's roster as the session is now, its actions collected.
    void UpdateRosters();
    void UpdateRosterOf(std::int32_t id);
    SessionRoster Roster() const;

    Coordinator& Core(std::int32_t id) { return *nodes_.at(id).Core; }
    ControllerNode& Node(std::int32_t id) { return nodes_.at(id); }
    ManualClock& Clock() { return clock_; }

    // Collects what a core asked for since; call after driving it directly.
    void Collect(std::int32_t id);
    // Delivers the next message on the channel; false when it is empty.
    bool DeliverOne(const Channel& channel);
    // Until no channel holds a message, round the channels in order.
    void DeliverAll();
    std::vector<Channel> BusyChannels() const;
    std::size_t Waiting(const Channel& channel) const;
    // Runs every core's timer.
    void Tick();
    // Sends raw bytes as `from` (any player) to a controller, as a peer would.
    void Inject(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> bytes);
    // Sends that went to a player that is not a controller: a fault.
    const std::vector<Channel>& StraySends() const { return straySends_; }
    // Every message a core sent, for measuring.
    const std::vector<std::vector<std::uint8_t>>& Sent() const { return sent_; }

   private:
    ManualClock clock_;
    std::int32_t nextId_ = 0x1001;
    std::map<std::int32_t, ControllerNode> nodes_;
    std::vector<RosterPlayer> pilots_;
    std::map<Channel, std::deque<std::vector<std::uint8_t>>> channels_;
    std::vector<Channel> straySends_;
    std::vector<std::vector<std::uint8_t>> sent_;
};

}  // namespace tarnwick::coordination::testing
