#include "session_run.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>

#include "base/ansi.h"
#include "multiplayer/chat.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/program_sessions.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/session_link.h"
#include "multiplayer/tcpip/directplay_transport.h"
#include "multiplayer/tcpip/upnp_port_mapper.h"

namespace tarnwick::tools {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kAcceptanceWait{1000};
// The connection window's step timer, which the tool need not keep to.
constexpr milliseconds kStep{10};
constexpr milliseconds kJoinRepeat{30000};
constexpr milliseconds kReceiveTick{100};
constexpr milliseconds kMaintenanceTick{30000};

// The session's time: the demo's own clock, which passing moves at once, or
// the real one, which passing waits for.
struct SessionClock {
    std::function<milliseconds()> Now;
    std::function<void(milliseconds)> Pass;
};

// What the user would pick in the connection window.
struct Choice {
    std::string ConnectionType;
    ProviderPrompt Prompt;
    // The sessions line to join, or nothing (with the reason told) when none fits.
    std::function<std::optional<int>(const std::vector<SessionDescription>&)> PickSession;
};

void Show(const std::vector<UserMessage>& messages, const SessionOutput& out) {
    for (const UserMessage& message : messages) out.Message(message);
}

// The answer the user would give by pressing Enter.
std::optional<std::string> DefaultAnswer(const ProviderQuestion& question) { return question.DefaultAnswer; }

// Moves the search or the join on as the connection window does, until it has
// nothing left to wait for; whether it showed a message.
bool Settle(SessionConnection& connection, const Choice& choice, const SessionClock& clock,
            const SessionOutput& out) {
    bool told = false;
    while (connection.Stepping() || connection.Question()) {
        ConnectionOutcome outcome;
        if (const auto& question = connection.Question()) {
            outcome = connection.Answer(choice.Prompt(*question));
        } else {
            clock.Pass(kStep);
            outcome = connection.Step();
        }
        Show(outcome.Messages, out);
        told = told || !outcome.Messages.empty();
    }
    return told;
}

// Search and join as the connection window does; true once accepted.
bool Join(SessionConnection& connection, PlayObjects& play, const Choice& choice, const SessionClock& clock,
          const SessionRunOptions& options, const SessionOutput& out) {
    connection.Load();
    const auto& types = connection.ConnectionTypeLines();
    const auto type = std::ranges::find(types, choice.ConnectionType, &ConnectionTypeLine::Name);
    if (type == types.end()) {
        out.Problem("this build has no connection type \"" + choice.ConnectionType + "\"");
        return false;
    }
    Show(connection.LocateSession(static_cast<int>(type - types.begin())).Messages, out);
    Settle(connection, choice, clock, out);
    if (connection.SessionLines().empty()) {
        out.Problem("no session found");
        return false;
    }
    const std::optional<int> line = choice.PickSession(play.Sessions);
    if (!line) return false;
    const ConnectionOutcome joining = connection.JoinSession(*line, options.NicknameUtf8);
    Show(joining.Messages, out);
    const bool told = Settle(connection, choice, clock, out) || !joining.Messages.empty();
    // A join that stops without a message box must still say why.
    if (!connection.WaitTimersEnabled() && !told)
        out.Problem("the join stopped at \"" + connection.Status() + "\" without a join request sent");
    for (milliseconds waited{0}; connection.WaitTimersEnabled() && waited < options.Duration;) {
        clock.Pass(kAcceptanceWait);
        waited += kAcceptanceWait;
        const ConnectionOutcome outcome = connection.WaitForAcceptance();
        Show(outcome.Messages, out);
        if (outcome.OpenRadar) return true;
        if (waited % kJoinRepeat == milliseconds(0)) connection.RepeatJoinRequest();
    }
    if (connection.WaitTimersEnabled()) out.Problem("the session did not answer the join request");
    return false;
}

// Shows one tick's events; true when they end the session. A tick that
// changed the table feeds the motion history first, as the radar window's do.
bool Report(const LinkEvents& events, milliseconds time, SessionState& session, const SessionOutput& out) {
    for (const std::string& line : events.ChatLines) out.Chat(time, line);
    if (events.TrafficChanged) {
        session.Motion.Observe(session.Traffic, time);
        out.Traffic(time, session.Traffic, session.Motion);
    }
    Show(events.Messages, out);
    return events.Disconnect;
}

int RunSession(ProgramState& state, PlayObjects& play, const Choice& choice, const SessionClock& clock,
               const SessionRunOptions& options, const SessionOutput& out) {
    SessionConnection connection(state.Session, play);
    if (!Join(connection, play, choice, clock, options, out)) {
        LeaveSession(state.Session, play);
        return 1;
    }
    bool ended = false;
    {
        SessionLink link(state.Session, play.Play(), *state.Declination);
        link.Start();
        if (!options.SayUtf8.empty()) {
            const ChatSendResult said = SendChat(play.Play(), state.Session.OwnPlayerId, options.SayUtf8);
            if (said.LogLine) out.Chat(milliseconds(0), *said.LogLine);
        }
        // The ticks keep to the clock as the window's timers do, however
        // long each tick takes.
        const milliseconds start = clock.Now();
        milliseconds nextUpkeep = kMaintenanceTick;
        for (milliseconds time{0}; time < options.Duration && !ended;) {
            clock.Pass(kReceiveTick);
            time = clock.Now() - start;
            ended = Report(link.ReceiveTick(), time, state.Session, out);
            if (!ended && time >= nextUpkeep) {
                nextUpkeep += kMaintenanceTick;
                ended = Report(link.MaintenanceTick(), time, state.Session, out);
            }
        }
    }
    // The link is gone before the session object it used is released.
    LeaveSession(state.Session, play);
    return ended ? 1 : 0;
}

}  // namespace

int RunDemoSession(ProgramState& state, const SessionRunOptions& options, const SessionOutput& out) {
    milliseconds now{0};
    PlayObjects play(ProgramSessionObjects(state.Area, [&now] { return now; }));
    const Choice choice{kDemoConnectionName, DefaultAnswer,
                        [](const std::vector<SessionDescription>&) { return std::optional<int>(0); }};
    const SessionClock clock{[&now] { return now; }, [&now](milliseconds time) { now += time; }};
    return RunSession(state, play, choice, clock, options, out);
}

int RunNetworkSession(ProgramState& state, const SessionRunOptions& options, const NetworkTarget& target,
                      const SessionOutput& out) {
    // Lives longer than every session object, so that their mappings are
    // removed before the tool ends. Without mapping it is never asked, and
    // the advice on a failed search says so.
    const auto mapper = std::make_shared<UpnpPortMapper>();
    const auto mapping = std::make_shared<FixedPortMappingSetting>(target.MapPorts);
    const TransportFactory tcpIp = [&target, &out, mapper, mapping] {
        DirectPlayTransportOptions transport;
        transport.Mapper = mapper;
        transport.MappingSetting = mapping;
        transport.Client.enumeration_port = target.EnumerationPort;
        transport.Clock = std::make_shared<directplay::SteadyClock>();
        transport.Driver = PosixPeerDrivers();
        // What DirectPlay notes (machines that go, a host that changes) and
        // the ports the router opened go to standard error.
        transport.Log = [&out](const std::string& note) { out.Problem("DirectPlay: " + AnsiToUtf8(note)); };
        return std::make_unique<DirectPlayTransport>(std::move(transport));
    };
    PlayObjects play(ProgramSessionObjects(state.Area, SteadyDemoClock(), tcpIp));
    const auto pick = [&](const std::vector<SessionDescription>& sessions) -> std::optional<int> {
        if (target.SessionName.empty()) return 0;
        const std::string wanted = Utf8ToAnsi(target.SessionName).value_or(target.SessionName);
        for (std::size_t i = 0; i < sessions.size(); ++i)
            if (sessions[i].SessionName == wanted) return static_cast<int>(i);
        std::string found;
        for (const SessionDescription& session : sessions)
            found += (found.empty() ? "" : ", ") + AnsiToUtf8(session.SessionName);
        out.Problem("no session named \"" + target.SessionName + "\" (found: " + found + ")");
        return std::nullopt;
    };
    const Choice choice{
        kTcpIpConnectionName,
        [&target](const ProviderQuestion&) { return std::optional<std::string>(target.Host); }, pick};
    const SessionClock clock{SteadyDemoClock(), [](milliseconds time) { std::this_thread::sleep_for(time); }};
    return RunSession(state, play, choice, clock, options, out);
}

}  // namespace tarnwick::tools
