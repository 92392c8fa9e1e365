#pragma once
// A session that lives inside this process: players, groups, friendly names
// and one guaranteed first-in first-out queue per player. Any number of
// InProcessTransport objects (the program's side) and scripted peers (tests,
// the traffic simulator) attach to one hub.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "multiplayer/hosted_session.h"

namespace tarnwick {

class InProcessSessionHub final : public HostedSession {
   public:
    // Player and group ids count up from `firstId`, so that sessions of one
    // run can be told apart by their ids.
    explicit InProcessSessionHub(std::int32_t firstId = 1) : nextId_(firstId) {}

    // Opens a session for joiners. Ending it drops every player and message
    // and makes the transports of its players report it lost.
    void HostSession(std::string name, std::int32_t maxPlayers, std::string guidApplication);
    void EndSession();
    // The session on offer, with its current player count.
    std::optional<SessionDescription> Hosted() const;
    bool IsHosted() const { return hosted_; }
    // Counts the sessions hosted so far, so a member can tell its session from a later one.
    std::uint64_t Generation() const { return generation_; }

    std::int32_t AddPlayer(const std::string& friendlyName) override;
    void RemovePlayer(std::int32_t player) override;
    std::int32_t AddGroup(const std::string& name) override;
    void AddPlayerToGroup(std::int32_t group, std::int32_t player);
    bool HasPlayer(std::int32_t player) const { return players_.contains(player); }
    std::string FriendlyName(std::int32_t player) const;
    std::vector<SessionMember> Players() const;
    std::vector<SessionMember> Groups() const;

    // To kAllPlayers: every player but the sender; to a group: its members but
    // the sender.
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::optional<ReceivedMessage> Receive(std::int32_t player) override;
    std::int32_t MessageCount(std::int32_t player) const;

    // Queues a message for `to` as if `from` had sent it, whether or not
    // `from` is a player: for tests of peers that misbehave.
    void Inject(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> message);

   private:
    struct Player {
        std::string Name;
        std::deque<ReceivedMessage> Queue;
    };
    struct Group {
        std::string Name;
        std::set<std::int32_t> Members;
    };

    void RequireSession() const;
    Player& PlayerAt(std::int32_t id);
    const Player& PlayerAt(std::int32_t id) const;
    void Deliver(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message);

    std::int32_t nextId_;
    std::uint64_t generation_ = 0;
    bool hosted_ = false;
    std::string name_;
    std::int32_t maxPlayers_ = 0;
    std::string guidApplication_;
    std::map<std::int32_t, Player> players_;
    std::map<std::int32_t, Group> groups_;
};

}  // namespace tarnwick
