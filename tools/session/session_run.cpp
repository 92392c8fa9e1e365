#include "session_run.h"

#include <algorithm>
#include <optional>

#include "multiplayer/program_sessions.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/session_link.h"

namespace tarnwick::tools {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kAcceptanceWait{1000};
constexpr milliseconds kJoinRepeat{30000};
constexpr milliseconds kReceiveTick{100};
constexpr milliseconds kMaintenanceTick{30000};

void Show(const std::vector<UserMessage>& messages, const SessionOutput& out) {
    for (const UserMessage& message : messages) out.Message(message);
}

// The answer the user would give by pressing Enter.
std::optional<std::string> DefaultAnswer(const ProviderQuestion& question) { return question.DefaultAnswer; }

// Search and join as the connection window does; true once accepted.
bool Join(SessionConnection& connection, milliseconds& now, const SessionRunOptions& options,
          const SessionOutput& out) {
    connection.Load();
    const auto& types = connection.ConnectionTypeLines();
    const auto demo = std::find(types.begin(), types.end(), kDemoConnectionName);
    if (demo == types.end()) {
        out.Problem("this build has no demo session");
        return false;
    }
    Show(connection.LocateSession(static_cast<int>(demo - types.begin()), DefaultAnswer).Messages, out);
    if (connection.SessionLines().empty()) {
        out.Problem("no session found");
        return false;
    }
    Show(connection.JoinSession(0, options.NicknameUtf8).Messages, out);
    for (milliseconds waited{0}; connection.WaitTimersEnabled() && waited < options.Duration;) {
        now += kAcceptanceWait;
        waited += kAcceptanceWait;
        const ConnectionOutcome outcome = connection.WaitForAcceptance();
        Show(outcome.Messages, out);
        if (outcome.OpenRadar) return true;
        if (waited % kJoinRepeat == milliseconds(0)) connection.RepeatJoinRequest();
    }
    if (connection.WaitTimersEnabled()) out.Problem("the session did not answer the join request");
    return false;
}

// Shows one tick's events; true when they end the session.
bool Report(const LinkEvents& events, milliseconds time, const TrafficTable& table,
            const SessionOutput& out) {
    for (const std::string& line : events.ChatLines) out.Chat(time, line);
    if (events.TrafficChanged) out.Traffic(time, table);
    Show(events.Messages, out);
    return events.Disconnect;
}

}  // namespace

int RunDemoSession(ProgramState& state, const SessionRunOptions& options, const SessionOutput& out) {
    milliseconds now{0};
    PlayObjects play(ProgramSessionObjects(state.Area, [&now] { return now; }));
    SessionConnection connection(state.Session, play);
    if (!Join(connection, now, options, out)) {
        LeaveSession(state.Session, play);
        return 1;
    }

    bool ended = false;
    {
        SessionLink link(state.Session, play.Play(), *state.Declination);
        link.Start();
        for (milliseconds time = kReceiveTick; time <= options.Duration && !ended; time += kReceiveTick) {
            now += kReceiveTick;
            ended = Report(link.ReceiveTick(), time, state.Session.Traffic, out);
            if (!ended && time % kMaintenanceTick == milliseconds(0)) {
                ended = Report(link.MaintenanceTick(), time, state.Session.Traffic, out);
            }
        }
    }
    // The link is gone before the session object it used is released.
    LeaveSession(state.Session, play);
    return ended ? 1 : 0;
}

}  // namespace tarnwick::tools
