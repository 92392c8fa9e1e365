#include "multiplayer/session_connection.h"

#include <utility>
#include <variant>

#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_text.h"
#include "multiplayer/session_link.h"

namespace tarnwick {
namespace {

constexpr const char* kFormalName = "Player";

UserMessage Inform(std::string text) { return {std::move(text), MessageIcon::Information}; }
UserMessage Warn(std::string text) { return {std::move(text), MessageIcon::Warning}; }

// The window's own message, and under it what the connection type says the
// user can check, when it says anything.
std::string WithAdvice(const char* text, const SessionError& error) {
    if (error.Advice().empty()) return text;
    return std::string(text) + "\n" + error.Advice();
}

}  // namespace

std::string SessionLine(const SessionDescription& session) {
    return session.SessionName + " (" + std::to_string(session.CurrentPlayers) + "/" +
           std::to_string(session.MaxPlayers) + ")";
}

void SessionConnection::SetStatus(const std::string& text) {
    status_ = text;
    if (OnStatusChanged) OnStatusChanged(status_);
}

void SessionConnection::Load() {
    accepted_ = false;
    session_.HostPlayerId = 0;
    session_.OwnName.clear();
    session_.SessionConnected = session_.TrafficEnabled = false;
    typeChoiceEnabled_ = true;
    waitTimersEnabled_ = false;
    stage_ = Stage::kIdle;
    question_.reset();
    sessionLines_.clear();
    status_ = kStatusNone;
    searchNote_.clear();
    play_.Create();
    typeLines_.clear();
    const auto& names = play_.Connections();
    for (std::size_t i = 0; i < names.size(); ++i) typeLines_.push_back({names[i], static_cast<int>(i) + 1});
}

void SessionConnection::Release() {
    // Releasing the session object gives up whatever it was busy with.
    stage_ = Stage::kIdle;
    question_.reset();
    play_.Release();
    sessionLines_.clear();
    waitTimersEnabled_ = false;
    SetStatus(kStatusDisconnected);
}

void SessionConnection::StartOver() {
    searchNote_.clear();
    Release();
    play_.Create();
}

void SessionConnection::FullReset() {
    typeChoiceEnabled_ = true;
    StartOver();
}

void SessionConnection::ConnectionTypeClicked() { StartOver(); }

ConnectionOutcome SessionConnection::LocateSession(std::optional<int> typeLine) {
    ConnectionOutcome outcome;
    StartOver();
    typeChoiceEnabled_ = false;
    SetStatus(kStatusLooking);
    if (!typeLine || *typeLine < 0 || *typeLine >= static_cast<int>(typeLines_.size())) {
        outcome.Messages.push_back(Inform("Please select one type of connection."));
        FullReset();
        return outcome;
    }
    stage_ = Stage::kConnecting;
    try {
        play_.Play().StartInitializeConnection(typeLines_[static_cast<std::size_t>(*typeLine)].Number);
    } catch (const SessionError& error) {
        Failed(outcome, error);
        return outcome;
    }
    Continue(outcome);
    return outcome;
}

ConnectionOutcome SessionConnection::JoinSession(std::optional<int> sessionLine,
                                                 std::string_view nicknameUtf8) {
    ConnectionOutcome outcome;
    if (!JoinEnabled()) return outcome;
    const bool lineSelected =
        sessionLine && *sessionLine >= 0 && *sessionLine < static_cast<int>(sessionLines_.size());
    if (nicknameUtf8.empty() || !lineSelected ||
        sessionLines_[static_cast<std::size_t>(*sessionLine)].empty()) {
        if (!lineSelected) outcome.Messages.push_back(Warn("Please select a FS multiplayer session."));
        if (nicknameUtf8.empty()) outcome.Messages.push_back(Warn("Please write a nickname."));
        StartOver();
        return outcome;
    }
    typeChoiceEnabled_ = false;
    SetStatus(kStatusConnecting);
    nickname_ = ToWireText(nicknameUtf8);
    stage_ = Stage::kOpening;
    try {
        const SessionDescription& chosen = play_.Sessions.at(static_cast<std::size_t>(*sessionLine));
        session_.SessionGuid = chosen.GuidApplication;
        session_.SessionMaxPlayers = chosen.MaxPlayers;
        play_.Play().StartOpen(chosen);
    } catch (const SessionError& error) {
        Failed(outcome, error);
        return outcome;
    }
    Continue(outcome);
    return outcome;
}

ConnectionOutcome SessionConnection::Step() {
    ConnectionOutcome outcome;
    Continue(outcome);
    return outcome;
}

std::string SessionConnection::RouterStatus() const {
    return play_.Exists() ? play_.Play().RouterStatus() : std::string();
}

ConnectionOutcome SessionConnection::Answer(std::optional<std::string> answerUtf8) {
    ConnectionOutcome outcome;
    if (!question_) return outcome;  // the question went with a reset
    question_.reset();
    try {
        play_.Play().Answer(std::move(answerUtf8));
    } catch (const SessionError& error) {
        Failed(outcome, error);
        return outcome;
    }
    Continue(outcome);
    return outcome;
}

void SessionConnection::Continue(ConnectionOutcome& outcome) {
    while (Stepping()) {
        try {
            SessionTransport& play = play_.Play();
            const Progress progress = play.Advance();
            if (progress == Progress::Working) return;
            if (progress == Progress::Asking) {
                question_ = play.Question();
                return;
            }
        } catch (const SessionError& error) {
            Failed(outcome, error);
            return;
        }
        Finished(outcome);
    }
}

void SessionConnection::Finished(ConnectionOutcome& outcome) {
    // The next operation's stage is entered before it starts, so that a
    // failure gets that step's message.
    try {
        SessionTransport& play = play_.Play();
        switch (stage_) {
            case Stage::kIdle:
                return;
            case Stage::kConnecting:
                stage_ = Stage::kSearching;
                play.StartEnumerateSessions();
                return;
            case Stage::kSearching:
                play_.Sessions = play.FoundSessions();
                stage_ = Stage::kIdle;
                return ListSessions();
            case Stage::kOpening:
                stage_ = Stage::kCreatingPlayer;
                play.StartCreatePlayer(nickname_, kFormalName);
                return;
            case Stage::kCreatingPlayer:
                session_.OwnPlayerId = play.CreatedPlayer();
                RequestJoin();
                stage_ = Stage::kIdle;
                return;
        }
    } catch (const SessionError& error) {
        Failed(outcome, error);
    }
}

void SessionConnection::ListSessions() {
    for (const SessionDescription& session : play_.Sessions) sessionLines_.push_back(SessionLine(session));
    if (!sessionLines_.empty() && !sessionLines_.front().empty()) {
        typeChoiceEnabled_ = true;
        SetStatus(kConnectionStatusDone);
        return;
    }
    // Asked before the reset releases the session object that searched.
    std::string note;
    try {
        note = play_.Play().NothingFoundNote();
    } catch (const SessionError&) {
        // The plain note below.
    }
    FullReset();
    searchNote_ = note.empty() ? "No session found." : note;
    SetStatus(status_);  // shown at once, as the status is
}

void SessionConnection::RequestJoin() {
    if (!session_.HasOwnPlayer()) return;  // the window stays at "Connecting..."
    play_.Play().Send(session_.OwnPlayerId, kAllPlayers, Encode(MsgJoinRequest{}));
    waitTimersEnabled_ = true;
}

void SessionConnection::Failed(ConnectionOutcome& outcome, const SessionError& error) {
    switch (stage_) {
        case Stage::kIdle:
            return;
        case Stage::kConnecting:
        case Stage::kSearching:
            outcome.Messages.push_back(
                Inform(WithAdvice("Error, canceled connection. Try to locate session again.", error)));
            break;
        case Stage::kOpening:
            outcome.Messages.push_back(
                Warn(WithAdvice("Failed to join game. Try to locate session again.", error)));
            break;
        case Stage::kCreatingPlayer:
            outcome.Messages.push_back(
                Warn(WithAdvice("Failed to create player. Try to locate session again.", error)));
            break;
    }
    FullReset();
}

ConnectionOutcome SessionConnection::WaitForAcceptance() {
    ConnectionOutcome outcome;
    if (!waitTimersEnabled_ || !session_.HasOwnPlayer()) return outcome;
    try {
        SessionTransport& play = play_.Play();
        if (play.SessionLost()) {
            StopWaiting(outcome, {kSessionLostText, MessageIcon::Information});
            return outcome;
        }
        for (std::int32_t n = play.MessageCount(session_.OwnPlayerId); n >= 1; --n) {
            const ReceivedMessage received = play.Receive();
            // A message too short for its type says nothing; the next one may.
            const GameMessage message = DecodeGameMessage(received.Bytes);
            if (const auto* accept = std::get_if<MsgJoinAccept>(&message)) {
                if (accept->PlayerId == session_.OwnPlayerId) {
                    session_.HostPlayerId = received.From;
                    Accept(outcome);
                    return outcome;
                }
            } else if (std::holds_alternative<MsgJoinRefuse>(message)) {
                StopWaiting(outcome, Warn("Connection refused."));
                return outcome;
            }
        }
    } catch (const SessionError&) {
        // The next tick tries again.
    }
    return outcome;
}

void SessionConnection::Accept(ConnectionOutcome& outcome) {
    // The session sends its acceptance once: nothing below may lose it.
    const std::int32_t own = session_.OwnPlayerId;
    std::string name = nickname_;
    try {
        SessionTransport& play = play_.Play();
        name = play.FriendlyName(own);
        for (const SessionMember& group : play.Groups()) {
            if (group.ShortName == kRefuseParamsGroup) play.AddPlayerToGroup(group.Id, own);
        }
    } catch (const SessionError&) {
        // The own entry keeps the name asked for, and the join stands without
        // the group.
    }
    // A table full of entries from earlier sessions refuses the own entry; the
    // next upkeep pass clears them, and the join goes on without it.
    (void)session_.Traffic.Append(name, own, kKindPlayer);
    session_.OwnName = name;
    accepted_ = true;
    outcome.Messages.push_back(Inform("Connected to FS session!"));
    session_.SessionConnected = session_.TrafficEnabled = true;
    SetStatus(kStatusConnected);
    waitTimersEnabled_ = false;
    outcome.OpenRadar = true;
}

void SessionConnection::StopWaiting(ConnectionOutcome& outcome, UserMessage message) {
    outcome.Messages.push_back(std::move(message));
    session_.SessionConnected = session_.TrafficEnabled = false;
    FullReset();
}

void SessionConnection::RepeatJoinRequest() {
    if (!waitTimersEnabled_ || !session_.HasOwnPlayer()) return;
    try {
        SessionTransport& play = play_.Play();
        play.Send(session_.OwnPlayerId, kAllPlayers, Encode(MsgJoinRetry{}));
        play.Send(session_.OwnPlayerId, kAllPlayers, Encode(MsgJoinRequest{}));
    } catch (const SessionError&) {
        // Tried again in 30 seconds.
    }
}

ConnectionOutcome SessionConnection::Exit() {
    ConnectionOutcome outcome;
    if (accepted_) return outcome;
    Release();
    outcome.EndProgram = true;
    return outcome;
}

void LeaveSession(SessionState& session, PlayObjects& play) {
    try {
        SessionTransport& transport = play.Play();
        transport.DestroyPlayer(session.OwnPlayerId);
        transport.Close();
    } catch (const SessionError&) {
        // Releasing the objects below leaves the session all the same.
    }
    play.Release();
    session.SessionConnected = session.TrafficEnabled = false;
}

}  // namespace tarnwick
