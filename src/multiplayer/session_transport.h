#pragma once
// The program's only contact with a multiplayer session: the operations a
// DirectPlay object offers, as one interface with an implementation per kind
// of connection. Every failing operation throws SessionError; the callers
// decide what a failure means at their step. Texts are Windows-1252 bytes,
// except the provider's questions and answers, which are shown to the user.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "state/session_member.h"

namespace tarnwick {

class SessionError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
    // `advice`: what the user can check or do, shown under the window's own
    // message (Windows-1252). Without it the window's message stands alone.
    SessionError(const std::string& what, std::string advice)
        : std::runtime_error(what), advice_(std::move(advice)) {}
    const std::string& Advice() const { return advice_; }

   private:
    std::string advice_;
};

// Recipient id that stands for every other player of the session.
inline constexpr std::int32_t kAllPlayers = 0;

struct SessionDescription {
    std::string SessionName;
    std::int32_t CurrentPlayers = 0;
    std::int32_t MaxPlayers = 0;
    std::string GuidApplication;
    // Which session Open joins; its meaning is the transport's own.
    std::string InstanceKey;
};

struct ReceivedMessage {
    std::int32_t From = 0;
    std::int32_t To = 0;  // the local player it was delivered to
    std::vector<std::uint8_t> Bytes;
};

// Something a connection type asks the user before it connects, such as the
// host's address. UTF-8.
struct ProviderQuestion {
    std::string Text;
    std::string DefaultAnswer;
    // Answers given before, most recent first, for the user to pick from.
    std::vector<std::string> Suggestions;
    // Whether the connection offers to open ports on the home router, and the
    // user's choice so far; the asker keeps the choice in the user's setting.
    std::optional<bool> OpenRouterPorts{};
    // When not empty the answer is a file's path, which the asker offers to
    // browse for with these filters ("Recorded sessions (*.jsonl);;All files (*)").
    std::string FileFilter{};
};
// The answer, or nothing when the user cancelled; for callers that answer at
// once (the tools, the tests).
using ProviderPrompt = std::function<std::optional<std::string>(const ProviderQuestion&)>;

// How far the operation started last has come.
enum class Progress {
    Working,   // waiting for the network: Advance again later
    Asking,    // waiting for the user's answer to Question()
    Finished,  // its result can be read
};

class SessionTransport {
   public:
    virtual ~SessionTransport() = default;

    // The connection types, numbered from 1 in this order.
    virtual std::vector<std::string> ConnectionTypes() = 0;

    // The operations that wait for the user or the network start here and
    // return at once, so that the caller's window never stops answering; the
    // caller then calls Advance from its event loop until it says Finished.
    // An operation that cannot start throws SessionError at once; one that
    // fails later throws it from Advance. Connections that need no waiting
    // finish inside the start.
    //
    // Binds the object to connection type `number`; the type may ask the
    // user first, and a cancelled question fails.
    virtual void StartInitializeConnection(int number) = 0;
    // Looks for the sessions that can be joined now: FoundSessions.
    virtual void StartEnumerateSessions() = 0;
    // Joins the session.
    virtual void StartOpen(const SessionDescription& session) = 0;
    // A player of this machine in the joined session: CreatedPlayer.
    virtual void StartCreatePlayer(const std::string& friendlyName, const std::string& formalName) = 0;
    // Moves the operation started last on as far as it goes without waiting.
    virtual Progress Advance() = 0;
    // While Advance says Asking: what the user is asked, and the answer.
    virtual ProviderQuestion Question() = 0;
    virtual void Answer(std::optional<std::string> answer) = 0;
    // What the last finished search found, and the id of the player made last.
    virtual std::vector<SessionDescription> FoundSessions() = 0;
    virtual std::int32_t CreatedPlayer() = 0;

    // Guaranteed delivery, in order per sender; `to` is a player, a group or kAllPlayers.
    virtual void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) = 0;
    // Messages waiting for a player of this machine.
    virtual std::int32_t MessageCount(std::int32_t player) = 0;
    // The next waiting message for any player of this machine.
    virtual ReceivedMessage Receive() = 0;
    // The session's groups and players as (short name, id).
    virtual std::vector<SessionMember> Groups() = 0;
    virtual std::vector<SessionMember> Players() = 0;
    virtual void AddPlayerToGroup(std::int32_t group, std::int32_t player) = 0;
    virtual std::string FriendlyName(std::int32_t player) = 0;
    virtual void DestroyPlayer(std::int32_t player) = 0;
    // Leaves the session without waiting: what is still to go out goes after
    // the object is gone.
    virtual void Close() = 0;
    // The joined session went away without a word from its host: the host's
    // machine vanished or the connection broke.
    virtual bool SessionLost() = 0;
    // Players that came into the joined session since the last call, as
    // DirectPlay announces them, for the program to ask at once who they are;
    // none from connections that do not announce them.
    virtual std::vector<std::int32_t> TakeArrivedPlayers() { return {}; }
    // Whether this computer's ports are open on the home router, in a few
    // words for the connection window's status line; empty when the
    // connection has no router to ask.
    virtual std::string RouterStatus() { return {}; }
    // After a search that found no session: where it looked and what the
    // user can check, in a sentence or two for the connection window's
    // status line (Windows-1252); empty when the connection has nothing to say.
    virtual std::string NothingFoundNote() { return {}; }
};

}  // namespace tarnwick
