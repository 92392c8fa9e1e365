#include "multiplayer/record/recording_transport.h"

namespace tarnwick {

void RecordingTransport::StartOpen(const SessionDescription& session) {
    target_->StartOpen(session);
    recorder_->SessionChosen(session);
}

void RecordingTransport::StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) {
    ownName_ = friendlyName;
    target_->StartCreatePlayer(friendlyName, formalName);
}

std::int32_t RecordingTransport::CreatedPlayer() {
    const std::int32_t id = target_->CreatedPlayer();
    recorder_->OwnPlayer(id, ownName_);
    return id;
}

std::int32_t RecordingTransport::MessageCount(std::int32_t player) {
    const std::int32_t count = target_->MessageCount(player);
    if (recorder_->Tick()) {
        try {
            recorder_->Members(false, target_->Players());
            recorder_->Members(true, target_->Groups());
        } catch (const SessionError&) {
            // Looked at again in a second.
        }
    }
    return count;
}

ReceivedMessage RecordingTransport::Receive() {
    ReceivedMessage message = target_->Receive();
    recorder_->Received(message);
    return message;
}

std::vector<SessionMember> RecordingTransport::Groups() {
    std::vector<SessionMember> groups = target_->Groups();
    recorder_->Members(true, groups);
    return groups;
}

std::vector<SessionMember> RecordingTransport::Players() {
    std::vector<SessionMember> players = target_->Players();
    recorder_->Members(false, players);
    return players;
}

std::string RecordingTransport::FriendlyName(std::int32_t player) {
    std::string name = target_->FriendlyName(player);
    recorder_->Name(player, name);
    return name;
}

bool RecordingTransport::SessionLost() {
    const bool lost = target_->SessionLost();
    if (lost) recorder_->Lost();
    return lost;
}

}  // namespace tarnwick
