#pragma once
// A session object that passes every operation on to another one. A session
// object that adds to a few operations derives from it and overrides those
// alone.
#include <utility>

#include "multiplayer/session_transport.h"

namespace tarnwick {

class ForwardingTransport : public SessionTransport {
   public:
    std::vector<std::string> ConnectionTypes() override { return Target().ConnectionTypes(); }
    void StartInitializeConnection(int number) override { Target().StartInitializeConnection(number); }
    void StartEnumerateSessions() override { Target().StartEnumerateSessions(); }
    void StartOpen(const SessionDescription& session) override { Target().StartOpen(session); }
    void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) override {
        Target().StartCreatePlayer(friendlyName, formalName);
    }
    Progress Advance() override { return Target().Advance(); }
    ProviderQuestion Question() override { return Target().Question(); }
    void Answer(std::optional<std::string> answer) override { Target().Answer(std::move(answer)); }
    std::vector<SessionDescription> FoundSessions() override { return Target().FoundSessions(); }
    std::int32_t CreatedPlayer() override { return Target().CreatedPlayer(); }
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override {
        Target().Send(from, to, message);
    }
    std::int32_t MessageCount(std::int32_t player) override { return Target().MessageCount(player); }
    ReceivedMessage Receive() override { return Target().Receive(); }
    std::vector<SessionMember> Groups() override { return Target().Groups(); }
    std::vector<SessionMember> Players() override { return Target().Players(); }
    void AddPlayerToGroup(std::int32_t group, std::int32_t player) override {
        Target().AddPlayerToGroup(group, player);
    }
    std::string FriendlyName(std::int32_t player) override { return Target().FriendlyName(player); }
    void DestroyPlayer(std::int32_t player) override { Target().DestroyPlayer(player); }
    void Close() override { Target().Close(); }
    bool SessionLost() override { return Target().SessionLost(); }
    std::vector<std::int32_t> TakeArrivedPlayers() override { return Target().TakeArrivedPlayers(); }
    std::string RouterStatus() override { return Target().RouterStatus(); }
    std::string NothingFoundNote() override { return Target().NothingFoundNote(); }

   protected:
    // Where the operations go; throws SessionError when there is nowhere yet.
    virtual SessionTransport& Target() = 0;
};

}  // namespace tarnwick
