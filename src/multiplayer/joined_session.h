#pragma once
// The session the program has joined, run apart from any window: the session
// link (the receive and upkeep ticks, the requests to identify), the motion
// history and the conflict watch fed after every tick that changed the
// traffic table, the recorder's hook, a replay's playback and seeking, and
// the leave. The window flow's timers call its ticks (the receive tick every
// 100 ms, the upkeep tick every 30 s) and tarnwick-session calls the same on
// its own clock; what the windows are to show comes back as events, and the
// radar window only reads the tables.
//
// The work of one tick, in this order:
//  1. the link's tick (a replay's playback in its place): the messages
//     counted at its start, each handled in turn, or the upkeep pass;
//  2. when that changed the traffic table, the motion history takes the table
//     at the session's time, and then the conflict watch looks at the traffic
//     shown with the motion that results;
//  3. after a receive tick (and a seek), a recording that stopped by itself is
//     taken for telling.
// The windows are then told, in this order: the chat lines, the conflict
// alerts, the player list, the message boxes, the recording's failure, and
// last the leave.
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geo/declination_grid.h"
#include "multiplayer/play_objects.h"
#include "multiplayer/record/replay_clock.h"
#include "multiplayer/record/session_recorder.h"
#include "multiplayer/session_link.h"
#include "multiplayer/user_message.h"
#include "state/chosen_area.h"
#include "state/radar_aids.h"
#include "state/session_state.h"
#include "traffic/conflict_watch.h"

namespace tarnwick {

class ReplayPlayback;

// The conflict watch looked at the traffic again: its list, newest first, at
// the session's time of the look, and how many alerts started then.
struct ConflictUpdate {
    std::vector<ConflictAlert> Alerts;
    std::chrono::milliseconds Time{0};
    std::size_t Started = 0;
};

struct SessionEvents {
    // Message boxes to show, in order (Windows-1252).
    std::vector<UserMessage> Messages;
    // Lines for the chat log, "name: text" (Windows-1252).
    std::vector<std::string> ChatLines;
    // The chat window's player list needs refreshing.
    bool PlayerListChanged = false;
    // Entries were added, removed, moved or described.
    bool TrafficChanged = false;
    std::optional<ConflictUpdate> Conflicts;
    // Why the recording stopped by itself (UTF-8), for a warning.
    std::optional<std::string> RecordingFailure;
    // The session is to be left, after the rest is shown.
    bool Disconnect = false;
};

// The parts of the program's state a joined session works on.
struct JoinedSessionParts {
    SessionState& Session;
    PlayObjects& Play;
    const DeclinationGrid& Grid;
    const ChosenArea& Area;
    const RadarAids& Aids;
};

// The session's time, in milliseconds from any fixed start.
using SessionClock = LinkClock;

struct JoinedSessionOptions {
    SessionClock Clock = SteadyLinkClock();
    // Told what the session objects receive; a recording under way ends with
    // the session.
    std::shared_ptr<SessionRecorder> Recorder;
    // A replay the user may move to another moment: its receive ticks go
    // through its playback, and the session's time is the replay's (the
    // clock above is then not used).
    std::shared_ptr<ReplayClock> Replay;
};

class JoinedSession {
   public:
    static constexpr std::chrono::milliseconds kReceiveInterval{100};
    static constexpr std::chrono::milliseconds kUpkeepInterval{30000};

    explicit JoinedSession(JoinedSessionParts parts, JoinedSessionOptions options = {});
    ~JoinedSession();
    JoinedSession(const JoinedSession&) = delete;
    JoinedSession& operator=(const JoinedSession&) = delete;

    // The radar window's load: hosting mode off, the link over the session
    // objects (without any, the session runs without traffic), the entries of
    // an earlier session that are not in this one dropped, and the request to
    // identify sent to every participant. Once.
    SessionEvents Start();
    // Timer1, every 100 ms.
    SessionEvents ReceiveTick();
    // Timer3, every 30 s.
    SessionEvents UpkeepTick();
    // A replay goes to another moment of its recording; nothing happens
    // unless Seekable().
    SessionEvents SeekTo(std::chrono::milliseconds time);
    bool Seekable() const { return playback_ != nullptr; }
    // The aids changed: the conflict watch looks again at once (turned off,
    // its list empties).
    SessionEvents AidsChanged();
    // Leaves the session: a recording under way ends, the own player is
    // destroyed and the session closed (failures passed over), the session
    // objects released and the session flags cleared. Every later call does
    // nothing.
    SessionEvents Leave();
    bool Left() const { return left_; }

    // The session's time now.
    std::chrono::milliseconds Now() const { return clock_(); }
    const ConflictWatch& Conflicts() const { return conflictWatch_; }

   private:
    // The link's events, and what a change of the table sets off.
    void Take(const LinkEvents& link, SessionEvents& events);
    ConflictUpdate LookAtConflicts(std::chrono::milliseconds now);
    void TakeRecordingFailure(SessionEvents& events);
    bool Running() const { return started_ && !left_; }

    JoinedSessionParts parts_;
    std::shared_ptr<SessionRecorder> recorder_;
    std::shared_ptr<ReplayClock> replay_;
    SessionClock clock_;
    std::unique_ptr<SessionLink> link_;
    std::unique_ptr<ReplayPlayback> playback_;
    ConflictWatch conflictWatch_;
    bool started_ = false;
    bool left_ = false;
};

}  // namespace tarnwick
