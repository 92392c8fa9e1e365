#include "session_run.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "base/ansi.h"
#include "multiplayer/chat.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/joined_session.h"
#include "multiplayer/program_sessions.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/tcpip/directplay_transport.h"
#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick::tools {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kAcceptanceWait{1000};
// The connection window's step timer, which the tool need not keep to.
constexpr milliseconds kStep{10};
constexpr milliseconds kJoinRepeat{30000};

// The session's time: the demo's own clock, which passing moves at once, or
// the real one, which passing waits for.
struct RunClock {
    std::function<milliseconds()> Now;
    std::function<void(milliseconds)> Pass;
};

// What the user would pick in the connection window.
struct Choice {
    std::string ConnectionType;
    ProviderPrompt Prompt;
    // The sessions line to join, or nothing (with the reason told) when none fits.
    std::function<std::optional<int>(const std::vector<SessionDescription>&)> PickSession;
    // The session has nothing more to give (a replay at its end).
    std::function<bool()> Over = [] { return false; };
};

std::optional<int> FirstSession(const std::vector<SessionDescription>&) { return 0; }

// The recorder the run's session objects tell, started at once when asked for.
std::shared_ptr<SessionRecorder> StartRecorder(const ProgramState& state, const SessionRunOptions& options,
                                               const RunClock& clock, const SessionOutput& out) {
    auto recorder = std::make_shared<SessionRecorder>(clock.Now);
    if (!options.RecordTo) return recorder;
    RecordingHeader header;
    header.Source = options.Source;
    header.AreaKind = state.Area.AreaKind;
    header.AreaTitle = state.Area.AreaTitle;
    try {
        recorder->Start(OpenRecordingFile(*options.RecordTo), header);
    } catch (const RecordingError& error) {
        out.Problem(error.what());
    }
    return recorder;
}

void Show(const std::vector<UserMessage>& messages, const SessionOutput& out) {
    for (const UserMessage& message : messages) out.Message(message);
}

// The answer the user would give by pressing Enter.
std::optional<std::string> DefaultAnswer(const ProviderQuestion& question) { return question.DefaultAnswer; }

// Moves the search or the join on as the connection window does, until it has
// nothing left to wait for; whether it showed a message.
bool Settle(SessionConnection& connection, const Choice& choice, const RunClock& clock,
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
bool Join(SessionConnection& connection, PlayObjects& play, const Choice& choice, const RunClock& clock,
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
        if (!connection.SearchNote().empty()) out.Problem(AnsiToUtf8(connection.SearchNote()));
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
    for (milliseconds waited{0};
         connection.WaitTimersEnabled() && waited < options.Duration && !choice.Over();) {
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

// Shows one tick's events, as the windows would; true when they end the
// session. A recording that stopped by itself is told, and the session goes on.
bool Report(const SessionEvents& events, milliseconds time, const SessionState& session,
            const SessionOutput& out) {
    for (const std::string& line : events.ChatLines) out.Chat(time, line);
    if (events.TrafficChanged) out.Traffic(time, session.Traffic, session.Motion);
    Show(events.Messages, out);
    if (events.RecordingFailure) out.Problem(*events.RecordingFailure);
    return events.Disconnect;
}

int RunSession(ProgramState& state, PlayObjects& play, const Choice& choice, const RunClock& clock,
               const SessionRunOptions& options, const std::shared_ptr<SessionRecorder>& recorder,
               const SessionOutput& out) {
    SessionConnection connection(state.Session, play);
    if (!Join(connection, play, choice, clock, options, out)) {
        recorder->Stop();
        LeaveSession(state.Session, play);
        return 1;
    }
    // The session the windows would run, on the run's clock: the same ticks
    // and the same leave. (What the start reports is not shown, as before:
    // the table holds only the program's own entry then.)
    JoinedSession joined(JoinedSessionParts{state.Session, play, *state.Declination, state.Area, state.Aids},
                         {.Clock = clock.Now, .Recorder = recorder, .Replay = {}});
    joined.Start();
    if (!options.SayUtf8.empty()) {
        const ChatSendResult said = SendChat(play.Play(), state.Session.OwnPlayerId, options.SayUtf8);
        if (said.LogLine) out.Chat(milliseconds(0), *said.LogLine);
    }
    // The ticks keep to the clock as the window's timers do, however long
    // each tick takes.
    bool ended = false;
    const milliseconds start = clock.Now();
    milliseconds nextUpkeep = JoinedSession::kUpkeepInterval;
    for (milliseconds time{0}; time < options.Duration && !ended && !choice.Over();) {
        clock.Pass(JoinedSession::kReceiveInterval);
        time = clock.Now() - start;
        ended = Report(joined.ReceiveTick(), time, state.Session, out);
        if (!ended && time >= nextUpkeep) {
            nextUpkeep += JoinedSession::kUpkeepInterval;
            ended = Report(joined.UpkeepTick(), time, state.Session, out);
        }
    }
    Report(joined.Leave(), clock.Now() - start, state.Session, out);
    return ended ? 1 : 0;
}

}  // namespace

int RunDemoSession(ProgramState& state, const SessionRunOptions& options, const SessionOutput& out) {
    milliseconds now{0};
    const RunClock clock{[&now] { return now; }, [&now](milliseconds time) { now += time; }};
    const std::shared_ptr<SessionRecorder> recorder = StartRecorder(state, options, clock, out);
    PlayObjects play(ProgramSessionObjects(state.Area, clock.Now, {}, {}, recorder));
    const Choice choice{kDemoConnectionName, DefaultAnswer, FirstSession};
    return RunSession(state, play, choice, clock, options, recorder, out);
}

int RunReplaySession(ProgramState& state, const SessionRunOptions& options, const std::filesystem::path& file,
                     const SessionOutput& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        out.Problem("cannot open " + file.string());
        return 1;
    }
    Recording recording;
    try {
        recording = ReadRecording(in);
    } catch (const RecordingError& error) {
        out.Problem(file.string() + ": " + error.what());
        return 1;
    }
    for (const std::string& problem : recording.Problems) out.Problem(file.string() + ": " + problem);

    milliseconds now{0};
    const RunClock clock{[&now] { return now; }, [&now](milliseconds time) { now += time; }};
    const std::shared_ptr<SessionRecorder> recorder = StartRecorder(state, options, clock, out);
    const auto replayClock = std::make_shared<ReplayClock>(clock.Now);
    const milliseconds length = recording.Lines.empty() ? milliseconds(0) : recording.Lines.back().Time;
    const TransportFactory replays = [replayClock, recording = std::move(recording)] {
        return std::make_unique<ReplayTransport>(replayClock, recording);
    };
    PlayObjects play(ProgramSessionObjects(state.Area, clock.Now, {}, replays, recorder));
    Choice choice{kReplayConnectionName, DefaultAnswer, FirstSession};
    // Every line is played by the tick that reaches the last one's time.
    choice.Over = [replayClock, length] { return replayClock->Now() >= length; };
    SessionRunOptions run = options;
    if (run.Duration == milliseconds(0)) run.Duration = milliseconds::max();
    return RunSession(state, play, choice, clock, run, recorder, out);
}

int RunNetworkSession(ProgramState& state, const SessionRunOptions& options, const NetworkTarget& target,
                      const SessionOutput& out) {
    // Lives longer than every session object, so that their mappings are
    // removed before the tool ends. Without mapping it is never asked, and
    // the advice on a failed search says so.
    const std::shared_ptr<PortMapper> mapper = HomeRouterPortMapper();
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
    const RunClock clock{SteadyDemoClock(), [](milliseconds time) { std::this_thread::sleep_for(time); }};
    const std::shared_ptr<SessionRecorder> recorder = StartRecorder(state, options, clock, out);
    PlayObjects play(ProgramSessionObjects(state.Area, SteadyDemoClock(), tcpIp, {}, recorder));
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
    return RunSession(state, play, choice, clock, options, recorder, out);
}

}  // namespace tarnwick::tools
