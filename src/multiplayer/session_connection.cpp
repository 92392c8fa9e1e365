#include "multiplayer/session_connection.h"

#include <variant>

#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_text.h"

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
    session_.SessionConnected = session_.TrafficEnabled = false;
    typeChoiceEnabled_ = true;
    waitTimersEnabled_ = false;
    sessionLines_.clear();
    status_ = kStatusNone;
    play_.Create();
    typeLines_.clear();
    const auto& names = play_.Connections();
    for (std::size_t i = 0; i < names.size(); ++i) typeLines_.push_back({names[i], static_cast<int>(i) + 1});
}

void SessionConnection::StartOver() {
    play_.Release();
    sessionLines_.clear();
    waitTimersEnabled_ = false;
    SetStatus(kStatusDisconnected);
    play_.Create();
}

void SessionConnection::FullReset() {
    typeChoiceEnabled_ = true;
    StartOver();
}

void SessionConnection::ConnectionTypeClicked() { StartOver(); }

ConnectionOutcome SessionConnection::LocateSession(std::optional<int> typeLine,
                                                   const ProviderPrompt& prompt) {
    ConnectionOutcome outcome;
    StartOver();
    typeChoiceEnabled_ = false;
    SetStatus(kStatusLooking);
    if (!typeLine || *typeLine < 0 || *typeLine >= static_cast<int>(typeLines_.size())) {
        outcome.Messages.push_back(Inform("Please select one type of connection."));
        FullReset();
        return outcome;
    }
    try {
        SessionTransport& play = play_.Play();
        play.InitializeConnection(typeLines_[static_cast<std::size_t>(*typeLine)].Number, prompt);
        play_.Sessions = play.EnumerateSessions();
    } catch (const SessionError& error) {
        outcome.Messages.push_back(
            Inform(WithAdvice("Error, canceled connection. Try to locate session again.", error)));
        FullReset();
        return outcome;
    }
    for (const SessionDescription& session : play_.Sessions) sessionLines_.push_back(SessionLine(session));
    if (!sessionLines_.empty() && !sessionLines_.front().empty()) {
        typeChoiceEnabled_ = true;
        SetStatus(kConnectionStatusDone);
    } else {
        FullReset();
    }
    return outcome;
}

ConnectionOutcome SessionConnection::JoinSession(std::optional<int> sessionLine,
                                                 std::string_view nicknameUtf8) {
    ConnectionOutcome outcome;
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
    try {
        const SessionDescription& chosen = play_.Sessions.at(static_cast<std::size_t>(*sessionLine));
        session_.SessionGuid = chosen.GuidApplication;
        session_.SessionMaxPlayers = chosen.MaxPlayers;
        play_.Play().Open(chosen);
    } catch (const SessionError& error) {
        outcome.Messages.push_back(
            Warn(WithAdvice("Failed to join game. Try to locate session again.", error)));
        FullReset();
        return outcome;
    }
    try {
        SessionTransport& play = play_.Play();
        session_.OwnPlayerId = play.CreatePlayer(ToWireText(nicknameUtf8), kFormalName);
        if (session_.HasOwnPlayer()) {
            play.Send(session_.OwnPlayerId, kAllPlayers, Encode(MsgJoinRequest{}));
            waitTimersEnabled_ = true;
        }
    } catch (const SessionError& error) {
        outcome.Messages.push_back(
            Warn(WithAdvice("Failed to create player. Try to locate session again.", error)));
        FullReset();
    }
    return outcome;
}

ConnectionOutcome SessionConnection::WaitForAcceptance() {
    ConnectionOutcome outcome;
    if (!waitTimersEnabled_ || !session_.HasOwnPlayer()) return outcome;
    try {
        SessionTransport& play = play_.Play();
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
                Refuse(outcome);
                return outcome;
            }
        }
    } catch (const SessionError&) {
        // The next tick tries again.
    }
    return outcome;
}

void SessionConnection::Accept(ConnectionOutcome& outcome) {
    SessionTransport& play = play_.Play();
    const std::int32_t own = session_.OwnPlayerId;
    // A table full of entries from earlier sessions refuses the own entry; the
    // next upkeep pass clears them, and the join goes on without it.
    (void)session_.Traffic.Append(play.FriendlyName(own), own, kKindPlayer);
    try {
        for (const SessionMember& group : play.Groups()) {
            if (group.ShortName == kRefuseParamsGroup) play.AddPlayerToGroup(group.Id, own);
        }
    } catch (const SessionError&) {
        // The join stands without the group; failing here would lose the
        // acceptance, which the session does not send twice.
    }
    accepted_ = true;
    outcome.Messages.push_back(Inform("Connected to FS session!"));
    session_.SessionConnected = session_.TrafficEnabled = true;
    SetStatus(kStatusConnected);
    waitTimersEnabled_ = false;
    outcome.OpenRadar = true;
}

void SessionConnection::Refuse(ConnectionOutcome& outcome) {
    outcome.Messages.push_back(Warn("Connection refused."));
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
    play_.Release();
    sessionLines_.clear();
    waitTimersEnabled_ = false;
    SetStatus(kStatusDisconnected);
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
