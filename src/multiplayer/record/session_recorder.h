#pragma once
// Records what the program receives from its session: the session joined,
// its own player, the players and groups as they come and go, and every game
// message with its arrival time. The recorder follows the session all the
// time, keeping only the last identification, aircraft and position of each
// sender, so that a recording started in the middle of a session begins with
// what the program already knew.
//
// Writing is buffered and handed to the system at least once a second. A
// write that fails (a full disk) stops the recording and leaves the reason
// for the window; the session goes on.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "multiplayer/record/recording_format.h"
#include "multiplayer/record/recording_sink.h"

namespace tarnwick {

// The session's clock, in milliseconds from any fixed start.
using RecordingClock = std::function<std::chrono::milliseconds()>;

class SessionRecorder {
   public:
    explicit SessionRecorder(RecordingClock clock) : clock_(std::move(clock)) {}

    // Starts a recording: its first line, then what is known of the session
    // now. A recording under way is stopped first.
    void Start(std::unique_ptr<RecordingSink> sink, const RecordingHeader& header);
    // Ends the recording with its last line and closes it.
    void Stop();
    bool Recording() const { return sink_ != nullptr; }
    // The size of the recording under way or stopped last.
    std::uint64_t RecordedBytes() const { return recordedBytes_; }
    // Why the recording stopped by itself, once; nothing when it did not.
    std::optional<std::string> TakeFailure() { return std::exchange(failure_, std::nullopt); }

    // What the session object saw, from the recording transport.
    void SessionChosen(const SessionDescription& session);
    void OwnPlayer(std::int32_t id, const std::string& name);
    void Received(const ReceivedMessage& message);
    void Members(bool groups, const std::vector<SessionMember>& members);
    void Name(std::int32_t id, const std::string& name);
    void Lost();
    // Once a receive tick: the write buffer goes to the system once a second.
    // True when the players and groups are due for a look, once a second
    // while recording.
    bool Tick();

   private:
    using Clock = std::chrono::milliseconds;
    void Write(const RecordingEvent& event);
    void Fail(const std::string& reason);
    Clock Now() const { return clock_() - start_; }

    RecordingClock clock_;
    std::unique_ptr<RecordingSink> sink_;
    Clock start_{0};
    Clock lastFlush_{0};
    Clock lastLook_{0};
    std::uint64_t recordedBytes_ = 0;
    std::optional<std::string> failure_;

    // What is known of the session, whether recording or not.
    std::optional<SessionDescription> session_;
    std::optional<RecordedOwnPlayer> own_;
    std::optional<std::vector<SessionMember>> players_;
    std::optional<std::vector<SessionMember>> groups_;
    std::map<std::int32_t, std::string> names_;
    bool lost_ = false;
    // The last message of each kept type from each sender, by (sender, type).
    std::map<std::pair<std::int32_t, std::int32_t>, ReceivedMessage> lastWords_;
};

}  // namespace tarnwick
