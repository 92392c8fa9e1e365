#pragma once
// A session object that tells the recorder what passes through it: the
// session opened, the own player made, every message received and every
// player list, group list and name asked for; once a second while recording
// it looks at the player and group lists itself, so that comings and goings
// are in the recording even between the program's own looks. Everything else
// passes straight on.
#include <memory>
#include <string>

#include "multiplayer/forwarding_transport.h"
#include "multiplayer/record/session_recorder.h"

namespace tarnwick {

class RecordingTransport final : public ForwardingTransport {
   public:
    RecordingTransport(std::unique_ptr<SessionTransport> target, std::shared_ptr<SessionRecorder> recorder)
        : target_(std::move(target)), recorder_(std::move(recorder)) {}

    void StartOpen(const SessionDescription& session) override;
    void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) override;
    std::int32_t CreatedPlayer() override;
    std::int32_t MessageCount(std::int32_t player) override;
    ReceivedMessage Receive() override;
    std::vector<SessionMember> Groups() override;
    std::vector<SessionMember> Players() override;
    std::string FriendlyName(std::int32_t player) override;
    bool SessionLost() override;

   private:
    SessionTransport& Target() override { return *target_; }

    std::unique_ptr<SessionTransport> target_;
    std::shared_ptr<SessionRecorder> recorder_;
    std::string ownName_;
};

}  // namespace tarnwick
