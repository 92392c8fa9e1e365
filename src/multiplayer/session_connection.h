#pragma once
// The connection window's logic: choosing a connection type, searching for
// sessions, joining one under a nickname and waiting for the session to
// accept. The window shows what this object holds after each call, shows the
// messages it returns, and runs its two timers while WaitTimersEnabled():
// Timer1 (1000 ms) calls WaitForAcceptance, Timer2 (30000 ms)
// RepeatJoinRequest. Texts it holds are Windows-1252.
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
    // types, if any. The connection type may ask the user through `prompt`.
    ConnectionOutcome LocateSession(std::optional<int> typeLine, const ProviderPrompt& prompt);
    // "Join Session"; `sessionLine` is the selected line of the sessions.
    ConnectionOutcome JoinSession(std::optional<int> sessionLine, std::string_view nicknameUtf8);
    // Timer1: reads the waiting messages until the session accepts or refuses.
    ConnectionOutcome WaitForAcceptance();
    // Timer2: asks again.
    void RepeatJoinRequest();
    // "Exit" and closing the window.
    ConnectionOutcome Exit();

    const std::vector<ConnectionTypeLine>& ConnectionTypeLines() const { return typeLines_; }
    const std::vector<std::string>& SessionLines() const { return sessionLines_; }
    const std::string& Status() const { return status_; }
    // The connection type list and "Locate Session".
    bool TypeChoiceEnabled() const { return typeChoiceEnabled_; }
    // Timer1 and Timer2.
    bool WaitTimersEnabled() const { return waitTimersEnabled_; }
    // The session accepted the join (ConnectAccepted).
    bool Accepted() const { return accepted_; }

    // Called at every status change, for a window that repaints it at once.
    std::function<void(const std::string&)> OnStatusChanged;

   private:
    void SetStatus(const std::string& text);
    // Fresh session objects, no sessions listed, no timers, "Disconnected".
    void StartOver();
    void FullReset();
    void Accept(ConnectionOutcome& outcome);
    void Refuse(ConnectionOutcome& outcome);

    SessionState& session_;
    PlayObjects& play_;
    std::vector<ConnectionTypeLine> typeLines_;
    std::vector<std::string> sessionLines_;
    std::string status_ = kStatusNone;
    bool typeChoiceEnabled_ = true;
    bool waitTimersEnabled_ = false;
    bool accepted_ = false;
};

// The session part of leaving: the own player destroyed and the session
// closed (a failure skips what is left of that), the session objects
// released, the session flags cleared. The windows then close the radar and
// chat windows and load the connection window again.
void LeaveSession(SessionState& session, PlayObjects& play);

// A session as the sessions list shows it: "Name (3/16)".
std::string SessionLine(const SessionDescription& session);

}  // namespace tarnwick
