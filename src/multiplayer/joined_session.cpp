#include "multiplayer/joined_session.h"

#include "multiplayer/replay_playback.h"
#include "multiplayer/session_connection.h"
#include "traffic/scope_traffic.h"

namespace tarnwick {

JoinedSession::JoinedSession(JoinedSessionParts parts, JoinedSessionOptions options)
    : parts_(parts),
      recorder_(std::move(options.Recorder)),
      replay_(std::move(options.Replay)),
      clock_(replay_ ? SessionClock([replay = replay_] { return replay->Now(); })
                     : std::move(options.Clock)) {}

JoinedSession::~JoinedSession() = default;

SessionEvents JoinedSession::Start() {
    SessionEvents events;
    if (started_ || left_) return events;
    started_ = true;
    SessionState& session = parts_.Session;
    session.IsHosting = false;
    try {
        link_ = std::make_unique<SessionLink>(session, parts_.Play.Play(), parts_.Grid, clock_);
    } catch (const SessionError&) {
        // No session objects to listen to: the scope runs without traffic.
        return events;
    }
    // Going back in a replay starts again from the session's host as the join left it.
    if (replay_) playback_ = std::make_unique<ReplayPlayback>(*replay_, session, *link_);
    Take(link_->Start(), events);
    return events;
}

SessionEvents JoinedSession::ReceiveTick() {
    SessionEvents events;
    if (!Running()) return events;
    if (link_) Take(playback_ ? playback_->ReceiveTick() : link_->ReceiveTick(), events);
    TakeRecordingFailure(events);
    return events;
}

SessionEvents JoinedSession::UpkeepTick() {
    SessionEvents events;
    if (Running() && link_) Take(link_->MaintenanceTick(), events);
    return events;
}

SessionEvents JoinedSession::SeekTo(std::chrono::milliseconds time) {
    SessionEvents events;
    if (!Running() || !playback_) return events;
    Take(playback_->SeekTo(time), events);
    TakeRecordingFailure(events);
    return events;
}

SessionEvents JoinedSession::AidsChanged() {
    SessionEvents events;
    if (Running()) events.Conflicts = LookAtConflicts(clock_());
    return events;
}

SessionEvents JoinedSession::Leave() {
    SessionEvents events;
    if (left_) return events;
    left_ = true;
    if (recorder_) recorder_->Stop();
    TakeRecordingFailure(events);
    // The link holds the session object that leaving releases.
    playback_.reset();
    link_.reset();
    LeaveSession(parts_.Session, parts_.Play);
    return events;
}

void JoinedSession::Take(const LinkEvents& link, SessionEvents& events) {
    events.Messages.insert(events.Messages.end(), link.Messages.begin(), link.Messages.end());
    events.ChatLines.insert(events.ChatLines.end(), link.ChatLines.begin(), link.ChatLines.end());
    events.PlayerListChanged = events.PlayerListChanged || link.PlayerListChanged;
    events.Disconnect = events.Disconnect || link.Disconnect;
    if (!link.TrafficChanged) return;
    events.TrafficChanged = true;
    // The wire carries no speeds: they come from where each aircraft was at
    // the session's times, and the conflicts from the speeds.
    const std::chrono::milliseconds now = clock_();
    parts_.Session.Motion.Observe(parts_.Session.Traffic, now);
    events.Conflicts = LookAtConflicts(now);
}

ConflictUpdate JoinedSession::LookAtConflicts(std::chrono::milliseconds now) {
    const SessionState& session = parts_.Session;
    const ScopeTraffic traffic{session.Traffic, session.OwnPlayerId, session.OwnName, ShownBand(parts_.Aids)};
    ConflictUpdate update;
    update.Time = now;
    update.Started =
        WatchConflicts(conflictWatch_, traffic, session.Motion, parts_.Area, parts_.Aids, update.Time);
    update.Alerts = conflictWatch_.Alerts();
    return update;
}

void JoinedSession::TakeRecordingFailure(SessionEvents& events) {
    if (!recorder_) return;
    if (std::optional<std::string> failure = recorder_->TakeFailure())
        events.RecordingFailure = std::move(failure);
}

}  // namespace tarnwick
