#pragma once
// "Replay A Recorded Session": a session object that plays a recording back
// on a clock the replay controls, so that every window sees what it saw when
// the session was live. The connection type asks for the recording's file;
// the search finds the recorded session; the own player is the recorded one,
// and the recording's time runs on from the moment it was made. Nothing is
// sent anywhere: a join request is answered by the recording itself, or, for
// a recording started after the join, by the replay.
#include <cstddef>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/record/recording_format.h"
#include "multiplayer/record/replay_clock.h"
#include "multiplayer/session_transport.h"

namespace tarnwick {

inline constexpr const char* kReplayConnectionName = "Replay A Recorded Session";

class ReplayTransport final : public SessionTransport {
   public:
    // `file`: the answer the question about the recording offers first.
    ReplayTransport(std::shared_ptr<ReplayClock> clock, std::filesystem::path file);
    // A recording already read.
    ReplayTransport(std::shared_ptr<ReplayClock> clock, Recording recording);
    ~ReplayTransport() override;

    std::vector<std::string> ConnectionTypes() override { return {kReplayConnectionName}; }
    void StartInitializeConnection(int number) override;
    void StartEnumerateSessions() override;
    void StartOpen(const SessionDescription& session) override;
    void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) override;
    Progress Advance() override { return asking_ ? Progress::Asking : Progress::Finished; }
    ProviderQuestion Question() override;
    void Answer(std::optional<std::string> answer) override;
    std::vector<SessionDescription> FoundSessions() override;
    std::int32_t CreatedPlayer() override { return ownId_; }

    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::int32_t MessageCount(std::int32_t player) override;
    ReceivedMessage Receive() override;
    std::vector<SessionMember> Groups() override;
    std::vector<SessionMember> Players() override;
    void AddPlayerToGroup(std::int32_t, std::int32_t) override {}
    std::string FriendlyName(std::int32_t player) override;
    void DestroyPlayer(std::int32_t) override {}
    void Close() override {}
    bool SessionLost() override;

    // Every line of the recording has been played.
    bool Ended();
    // The time of the recording's last line.
    std::chrono::milliseconds Length() const;
    const Recording& Played() const { return recording_; }

   private:
    void Load(const std::filesystem::path& file);
    // Plays the lines up to the replay's time, from the start again after a rewind.
    void CatchUp();
    // Back to before the first line; the own player stays.
    void Rewind();
    const Recording& Loaded() const;

    std::shared_ptr<ReplayClock> clock_;
    std::filesystem::path offered_;
    bool asking_ = false;
    bool loaded_ = false;
    Recording recording_;
    std::size_t next_ = 0;
    std::deque<ReceivedMessage> waiting_;
    std::vector<SessionMember> players_;
    std::vector<SessionMember> groups_;
    std::map<std::int32_t, std::string> names_;
    std::int32_t ownId_ = 0;
    std::string ownName_;
    bool acceptPending_ = false;
    bool lost_ = false;
    unsigned rewindsSeen_ = 0;
};

}  // namespace tarnwick
