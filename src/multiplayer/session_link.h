#pragma once
// The message handling of a joined session: the receive tick (Timer1, every
// 100 ms) and the upkeep tick (Timer3, every 30 s) read the session's
// messages, answer the identification exchange, keep the traffic table and,
// once the session's first host has left, answer join requests in its place.
// The ticks return what the windows must do; nothing here shows anything.
// JoinedSession runs it, with what a change of the table sets off.
//
// A pilot that joins after the program would wait for the next upkeep pass
// (up to 30 s) to be asked who it is, while its reports and its calls already
// come in. So a player not in the table that reports a position, says a chat
// line or is announced by DirectPlay is asked at once, alone, and at most
// once every few seconds (IdentifyRequests); the upkeep pass stays as it is.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "geo/declination_grid.h"
#include "multiplayer/identify_requests.h"
#include "multiplayer/session_transport.h"
#include "multiplayer/user_message.h"
#include "state/session_state.h"

namespace tarnwick {

// What the user is told when the session goes away without a word.
inline constexpr const char* kSessionLostText =
    "The FS multiplayer connection was lost, Tarnwick closes multiplayer session.";

struct LinkEvents {
    // Message boxes to show, in order.
    std::vector<UserMessage> Messages;
    // Lines for the chat log, "name: text", Windows-1252.
    std::vector<std::string> ChatLines;
    // The chat window's player list needs refreshing.
    bool PlayerListChanged = false;
    // Entries were added, removed, moved or described.
    bool TrafficChanged = false;
    // Leave the session, after showing the messages.
    bool Disconnect = false;
};

// The session's time, for spacing the requests to identify; any fixed start.
using LinkClock = std::function<std::chrono::milliseconds()>;

// The steady clock of the system.
LinkClock SteadyLinkClock();

class SessionLink {
   public:
    SessionLink(SessionState& session, SessionTransport& transport, const DeclinationGrid& grid,
                LinkClock clock = SteadyLinkClock())
        : session_(session), transport_(transport), grid_(grid), clock_(std::move(clock)) {}

    // The radar window's load: hosting mode off, the entries kept from an
    // earlier session whose players are not in this one dropped, and an
    // identification request to every participant. Nothing happens without
    // a joined session.
    LinkEvents Start();
    // Timer1: handles the messages waiting at its start; those that arrive
    // meanwhile wait for the next tick. A failing session operation ends the
    // tick; a message too short for its type is passed over, and so are
    // MsgHostLeft and MsgRemovedByHost from anyone but the session's host.
    // Players not in the table that reported, talked or arrived are asked to
    // identify themselves (a failed request is left to the upkeep pass).
    LinkEvents ReceiveTick();
    // Timer3: drops the entries of players who left, asks unknown players to
    // identify themselves and every known pilot for its aircraft.
    LinkEvents MaintenanceTick();

   private:
    enum class Next { Continue, EndTick };

    Next Handle(const ReceivedMessage& message, LinkEvents& events);
    Next HandleHostLeft(LinkEvents& events);
    void AnswerJoinRequest(std::int32_t sender, bool observer);
    void AddIdentified(std::int32_t sender, const char* kind, LinkEvents& events);
    void Prune(const std::vector<SessionMember>& players, LinkEvents& events);
    void Lost(LinkEvents& events);
    // Asks a player the table does not know to identify itself, alone.
    void AskToIdentify(std::int32_t player);
    void AskIfUnknown(std::int32_t player);
    void AskArrivedPlayers();

    SessionState& session_;
    SessionTransport& transport_;
    const DeclinationGrid& grid_;
    LinkClock clock_;
    IdentifyRequests identifyRequests_;
};

}  // namespace tarnwick
