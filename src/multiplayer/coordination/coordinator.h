#pragma once
// Coordination between the Tarnwick controllers of one session: who they are
// and which position each works, who owns each aircraft, the handoffs between
// them, the shared strips, their texts, and this controller's strip bay.
//
// A sans-I/O state machine. The session object feeds it the session's roster
// (UpdateRoster) whenever players or groups change, every received message
// (OnMessage, which takes the coordination messages and leaves the others to
// the game), and OnTimer at NextDeadline; the windows and tools call the
// commands and read the state. It asks for what is to be done through
// TakeActions: messages to send, log lines, and that the state changed.
//
// Messages go from this controller's player to each other controller's player
// (never to a group or to all players, so no FS2002 machine receives one),
// and count only from a player the roster shows as a controller. Whatever a
// controller sends, memory stays bounded (see the limits below and in
// controller_roster.h and strip_bay.h).
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "multiplayer/coordination/actions.h"
#include "multiplayer/coordination/controller_roster.h"
#include "multiplayer/coordination/messages.h"
#include "multiplayer/coordination/ownership.h"
#include "multiplayer/coordination/rate_limit.h"
#include "multiplayer/coordination/strip_bay.h"
#include "multiplayer/coordination/strip_fields.h"
#include "state/traffic_table.h"

namespace tarnwick::coordination {

struct CoordinatorConfig {
    // Claims of one aircraft seen within this time of the first are
    // simultaneous (ownership.h); the claimant neither releases nor hands off
    // within it.
    Millis TieWindow{5000};
    // How long a message may wait for what makes it valid (a release, an
    // offer, a controller or an aircraft not yet known here) before it is
    // refused.
    Millis HoldLimit{10000};
    // A controller asking for an answer gets one at most this often.
    Millis AnswerInterval{10000};
    // Messages waiting, per controller.
    std::size_t MaxHeldPerController = 64;
    // Texts written to the controllers' log, and notes, per controller and
    // interval; the rest are dropped, with one note.
    int TextsPerInterval = 10;
    int NotesPerInterval = 20;
    Millis LogInterval{10000};
    // Aircraft records (pilots in the session that any controller has spoken
    // of or this one has a strip for).
    std::size_t MaxAircraft = 1024;
};

struct ControllerInfo {
    std::int32_t PlayerId = 0;
    std::string Name;      // the player's friendly name in the session
    std::string Position;  // empty until it names one
    std::string Nickname;
    int Owned = 0;  // aircraft it owns
    bool Local = false;
};

// A command's outcome: empty when it was carried out, otherwise why not, in a
// sentence for the user (Windows-1252).
struct CommandResult {
    std::string Refusal;
    bool Done() const { return Refusal.empty(); }
    explicit operator bool() const { return Done(); }
};

class Coordinator {
   public:
    // `ownPlayer`: this program's player; `ownName`: its friendly name;
    // `position` may be empty until the controller names one.
    Coordinator(const Clock& clock, std::int32_t ownPlayer, const std::string& ownName,
                const std::string& position, CoordinatorConfig config = {});

    // ---- what the session tells ----
    // The session's players and groups as they are now. Controllers that
    // appear are greeted and told what this one owns; those that have gone
    // (their player or their group) leave their aircraft unowned; pilots that
    // have gone leave their strips finished. Give it before the messages
    // received with the change: a message from a player not yet known as a
    // controller is skipped (what it said comes again in its answer to this
    // one's greeting).
    void UpdateRoster(const SessionRoster& roster);
    // A received message. False when it is not a coordination message, for
    // the game's handling; true when it was one (used or skipped).
    bool OnMessage(std::int32_t from, std::span<const std::uint8_t> bytes);
    // Refuses the messages that have waited too long.
    void OnTimer();
    std::optional<Millis> NextDeadline() const;
    std::vector<Action> TakeActions();

    // ---- the controller's commands ----
    CommandResult SetPosition(const std::string& position);
    CommandResult Assume(const PlayerKey& aircraft);
    CommandResult Release(const PlayerKey& aircraft);
    CommandResult HandOff(const PlayerKey& aircraft, std::int32_t toController);
    CommandResult Accept(const PlayerKey& aircraft);
    CommandResult Refuse(const PlayerKey& aircraft);
    CommandResult CancelHandoff(const PlayerKey& aircraft);
    // The strip's fields as a whole, or one of them from its text. Shared when
    // this controller owns the aircraft; this controller's own notes while it
    // is unowned (shared when it assumes it); refused while another owns it.
    CommandResult EditStrip(const PlayerKey& aircraft, const StripFields& fields);
    CommandResult SetStripField(const PlayerKey& aircraft, StripField field, std::string_view value);
    CommandResult Say(const std::string& line);
    // The strip bay: a strip asked for, put away, moved.
    CommandResult AddStrip(const PlayerKey& aircraft);
    CommandResult RemoveStrip(const PlayerKey& aircraft);
    CommandResult MoveStrip(const PlayerKey& aircraft, std::size_t index);

    // ---- what the windows and tools read ----
    // This controller first, then the others by player id.
    std::vector<ControllerInfo> Controllers() const;
    std::optional<ControllerInfo> FindController(std::int32_t playerId) const;
    // The one controller working this position, if exactly one does.
    std::optional<std::int32_t> ControllerAtPosition(std::string_view position) const;
    // How a controller is named in lines: its position, else its player's name.
    std::string Label(std::int32_t playerId) const;
    const AircraftRecord* FindAircraft(const PlayerKey& aircraft) const;
    const std::map<PlayerKey, AircraftRecord>& Aircraft() const { return aircraft_; }
    const StripBay& Bay() const { return bay_; }
    std::int32_t OwnPlayer() const { return own_; }
    const std::string& Position() const { return position_; }
    // Messages waiting for what makes them valid, from every controller.
    std::size_t HeldMessages() const;

   private:
    using AircraftMessage =
        std::variant<MsgAssume, MsgRelease, MsgStrip, MsgHandoffOffer, MsgHandoffAnswer, MsgHandoffCancel>;
    struct HeldMessage {
        Millis Arrived{0};
        AircraftMessage Message;
        std::string Reason;  // why it waits
    };
    struct Controller {
        Controller(std::string name, const CoordinatorConfig& config)
            : Name(std::move(name)),
              Texts(config.TextsPerInterval, config.LogInterval),
              Notes(config.NotesPerInterval, config.LogInterval) {}
        std::string Name;
        std::string Position;
        std::string Nickname;
        bool Introduced = false;  // its Hello has come
        std::optional<Millis> LastAnswer;
        std::deque<HeldMessage> Held;
        RateLimit Texts;
        RateLimit Notes;
    };

    // Built in place: GCC 12 takes a moved variant's vector for uninitialised.
    template <typename T>
    void Emit(T item) {
        actions_.emplace_back(std::in_place_type<T>, std::move(item));
    }
    RuleContext Context() const;
    void Note(Controller* source, std::int32_t sourceId, const std::string& text);
    void Line(const std::string& text);
    void Send(std::int32_t to, MessageBytes bytes);
    void Broadcast(const MessageBytes& bytes);
    void SendState(std::int32_t to, bool answerWanted);
    std::string Describe(const PlayerKey& aircraft) const;

    void ControllerArrived(std::int32_t id);
    void ControllerLeft(std::int32_t id);
    void PilotLeft(const PlayerKey& aircraft);
    bool IsController(std::int32_t id) const;
    bool IsLivePilot(const PlayerKey& aircraft) const;

    void OnHello(std::int32_t from, Controller& sender, const MsgHello& message);
    void OnText(std::int32_t from, Controller& sender, const MsgText& message);
    void Receive(std::int32_t from, Controller& sender, AircraftMessage message);
    // Judges a message and applies it when it counts.
    Verdict Try(std::int32_t from, const AircraftMessage& message);
    void Applied(std::int32_t from, const AircraftMessage& message, const AircraftRecord& before,
                 const AircraftRecord& after);
    void RetryHeld();

    // A record for a pilot of the session, made when first needed; null when
    // the bound is reached.
    AircraftRecord* Record(const PlayerKey& aircraft);
    CommandResult Refused(std::string why) { return {std::move(why)}; }
    CommandResult Finish(CommandResult result);
    // The live aircraft's record for a command, or why there is none.
    std::variant<AircraftRecord*, CommandResult> CommandRecord(const PlayerKey& aircraft);

    const Clock& clock_;
    CoordinatorConfig config_;
    std::int32_t own_;
    std::string ownName_;
    std::string position_;
    std::map<std::int32_t, Controller> controllers_;
    std::map<std::int32_t, std::string> playerNames_;
    std::set<PlayerKey> pilots_;
    std::map<PlayerKey, AircraftRecord> aircraft_;
    StripBay bay_;
    RateLimit strangerNotes_;
    std::vector<Action> actions_;
    bool changed_ = false;
};

}  // namespace tarnwick::coordination
