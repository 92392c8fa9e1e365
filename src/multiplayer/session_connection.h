#pragma once
// The connection window's logic: choosing a connection type, searching for
// sessions, joining one under a nickname and waiting for the session to
// accept. The window shows what this object holds after each call, shows the
// messages it returns, and runs its two timers while WaitTimersEnabled():
// Timer1 (1000 ms) calls WaitForAcceptance, Timer2 (30000 ms)
// RepeatJoinRequest. Texts it holds are Windows-1252.
//
// The search and the join wait for the network and for the user's answer to
// the connection type's question, and never inside a call: they go as far as
// they can, and the window calls Step from its event loop while Stepping(),
// and Answer once the user has answered Question().
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "multiplayer/play_objects.h"
#include "multiplayer/user_message.h"
#include "state/session_state.h"

namespace tarnwick {

inline constexpr const char* kStatusNone = "-None-";
inline constexpr const char* kStatusDisconnected = "Disconnected";
inline constexpr const char* kStatusLooking = "Looking for FS Server...";
inline constexpr const char* kConnectionStatusDone = "Done";
inline constexpr const char* kStatusConnecting = "Connecting...";
inline constexpr const char* kStatusConnected = "Connected";

inline constexpr const char* kDefaultNickname = "ATC Controller";
// The two groups of an FS2002 session; the program's player joins the first.
inline constexpr const char* kRefuseParamsGroup = "FS61_REFUSE_PARAMS";
inline constexpr const char* kRequestParamsGroup = "FS61_REQUEST_PARAMS";

// A line of the connection types list: the name shown and the number the
// session object knows the type by.
struct ConnectionTypeLine {
    std::string Name;
    int Number = 0;
};

struct ConnectionOutcome {
    std::vector<UserMessage> Messages;
    // The join was accepted: close the connection window (without ending the
    // program) and open the radar window.
    bool OpenRadar = false;
    // The window was left before a join: end the program.
    bool EndProgram = false;
};

class SessionConnection {
   public:
    SessionConnection(SessionState& session, PlayObjects& play) : session_(session), play_(play) {}

    // Window load: fresh session objects and the list of connection types.
    void Load();
    // A connection type clicked in the list: start over with that choice.
    void ConnectionTypeClicked();
    // "Locate Session"; `typeLine` is the selected line of the connection
    // types, if any.
    ConnectionOutcome LocateSession(std::optional<int> typeLine);
    // "Join Session"; `sessionLine` is the selected line of the sessions.
    ConnectionOutcome JoinSession(std::optional<int> sessionLine, std::string_view nicknameUtf8);
    // Moves the search or the join under way on, without waiting.
    ConnectionOutcome Step();
    // What the connection type asks the user before the search goes on, and
    // the user's answer (nothing: cancelled).
    const std::optional<ProviderQuestion>& Question() const { return question_; }
    ConnectionOutcome Answer(std::optional<std::string> answerUtf8);
    // Timer1: reads the waiting messages until the session accepts or refuses.
    ConnectionOutcome WaitForAcceptance();
    // Timer2: asks again.
    void RepeatJoinRequest();
    // "Exit" and closing the window.
    ConnectionOutcome Exit();

    const std::vector<ConnectionTypeLine>& ConnectionTypeLines() const { return typeLines_; }
    const std::vector<std::string>& SessionLines() const { return sessionLines_; }
    const std::string& Status() const { return status_; }
    // Beside the status: whether the home router opened this computer's
    // ports (empty for connections without a router).
    std::string RouterStatus() const;
    // Under the status, after a search that found no session: that none was
    // found where it looked, and what to check (there is no message box for
    // it). Empty otherwise.
    const std::string& SearchNote() const { return searchNote_; }
    // The connection type list and "Locate Session".
    bool TypeChoiceEnabled() const { return typeChoiceEnabled_; }
    // Timer1 and Timer2.
    bool WaitTimersEnabled() const { return waitTimersEnabled_; }
    // A search or a join is under way and waits for the network: Step.
    bool Stepping() const { return stage_ != Stage::kIdle && !question_; }
    // "Join Session": not while a search or a join is under way, which would
    // lose it.
    bool JoinEnabled() const { return stage_ == Stage::kIdle; }
    // The session accepted the join (ConnectAccepted).
    bool Accepted() const { return accepted_; }

    // Called at every status change, for a window that repaints it at once.
    std::function<void(const std::string&)> OnStatusChanged;

   private:
    // The search or the join under way: the operation the session object is
    // busy with.
    enum class Stage { kIdle, kConnecting, kSearching, kOpening, kCreatingPlayer };

    void SetStatus(const std::string& text);
    // Advances the session object's operation until it waits or fails.
    void Continue(ConnectionOutcome& outcome);
    // The operation of this stage has finished: the next one starts.
    void Finished(ConnectionOutcome& outcome);
    void Failed(ConnectionOutcome& outcome, const SessionError& error);
    void ListSessions();
    void RequestJoin();
    // The steps every reset and the exit share: the session objects
    // released, no sessions listed, no timers, "Disconnected".
    void Release();
    // Those, then fresh session objects.
    void StartOver();
    // And the connection types offered again.
    void FullReset();
    void Accept(ConnectionOutcome& outcome);
    // The session refused the join or went away while it was awaited.
    void StopWaiting(ConnectionOutcome& outcome, UserMessage message);

    SessionState& session_;
    PlayObjects& play_;
    std::vector<ConnectionTypeLine> typeLines_;
    std::vector<std::string> sessionLines_;
    std::string status_ = kStatusNone;
    bool typeChoiceEnabled_ = true;
    bool waitTimersEnabled_ = false;
    bool accepted_ = false;
    Stage stage_ = Stage::kIdle;
    std::optional<ProviderQuestion> question_;
    // The player's name as it was asked for.
    std::string nickname_;
    std::string searchNote_;
};

// The session part of leaving: the own player destroyed and the session
// closed (a failure skips what is left of that), the session objects
// released, the session flags cleared. The windows then close the radar and
// chat windows and load the connection window again.
void LeaveSession(SessionState& session, PlayObjects& play);

// A session as the sessions list shows it: "Name (3/16)".
std::string SessionLine(const SessionDescription& session);

}  // namespace tarnwick
