#pragma once
// The program's side of a session that lives in this process: one connection
// type over an InProcessSessionHub. Dropping the transport leaves the session,
// as releasing a DirectPlay object does.
#include <cstdint>
#include <string>
#include <vector>

#include "multiplayer/local/in_process_session.h"
#include "multiplayer/session_transport.h"

namespace tarnwick {

class InProcessTransport final : public SessionTransport {
   public:
    InProcessTransport(InProcessSessionHub& hub, std::string connectionName)
        : hub_(hub), connectionName_(std::move(connectionName)) {}
    ~InProcessTransport() override;
    InProcessTransport(const InProcessTransport&) = delete;
    InProcessTransport& operator=(const InProcessTransport&) = delete;

    std::vector<std::string> ConnectionTypes() override { return {connectionName_}; }
    // Nothing here waits: every operation finishes inside its start.
    void StartInitializeConnection(int number) override;
    void StartEnumerateSessions() override;
    void StartOpen(const SessionDescription& session) override;
    void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) override;
    Progress Advance() override { return Progress::Finished; }
    ProviderQuestion Question() override { throw SessionError("nothing is asked"); }
    void Answer(std::optional<std::string>) override { throw SessionError("nothing is asked"); }
    std::vector<SessionDescription> FoundSessions() override { return found_; }
    std::int32_t CreatedPlayer() override;
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::int32_t MessageCount(std::int32_t player) override;
    ReceivedMessage Receive() override;
    std::vector<SessionMember> Groups() override;
    std::vector<SessionMember> Players() override;
    void AddPlayerToGroup(std::int32_t group, std::int32_t player) override;
    std::string FriendlyName(std::int32_t player) override;
    void DestroyPlayer(std::int32_t player) override;
    void Close() override;
    bool SessionLost() override;

   private:
    void RequireJoined();
    void RequireLocal(std::int32_t player) const;

    InProcessSessionHub& hub_;
    std::string connectionName_;
    bool initialized_ = false;
    bool open_ = false;
    std::uint64_t generation_ = 0;
    std::vector<SessionDescription> found_;
    std::vector<std::int32_t> localPlayers_;
};

// Joins the hub's session, without and with a player of this machine (its id
// returned); the operations finish at once, so this needs no event loop.
void JoinHostedSession(InProcessTransport& transport);
std::int32_t JoinWithPlayer(InProcessTransport& transport, const std::string& friendlyName);

}  // namespace tarnwick
