#pragma once
// One session as the windows would run it, without windows: the connection
// window's search, join and wait, then the joined session the window flow
// runs (JoinedSession), its receive ticks every 100 ms and upkeep ticks every
// 30 s, and its leave. The demo runs on a clock the run
// moves itself, so a minute of session passes in a moment; a network session
// runs on the real clock.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "multiplayer/session_connection.h"
#include "session_output.h"
#include "state/program_state.h"

namespace tarnwick::tools {

struct SessionRunOptions {
    std::string NicknameUtf8 = kDefaultNickname;
    // Time spent in the session once joined; also the longest wait for the join.
    std::chrono::milliseconds Duration{60000};
    // A chat line sent once the session is joined, as typed in the chat window.
    std::string SayUtf8;
    // Record what the session sends into this file, from the search on.
    std::optional<std::filesystem::path> RecordTo;
    // The program and version named in the recording.
    std::string Source;
};

// A real session over "Internet TCP/IP Connection For DirectPlay".
struct NetworkTarget {
    std::string Host;  // name or IPv4, as typed at the window's prompt
    std::uint16_t EnumerationPort = 47624;
    // The session to join (UTF-8); the first found when empty.
    std::string SessionName;
    // Ask the home router to open this computer's ports.
    bool MapPorts = true;
};

// Joins the demo session around the area in `state`, runs it and leaves.
// Returns the exit status: 0 when the time ran out in the session, 1 when the
// join failed or was refused, or the session was lost or closed by its host.
int RunDemoSession(ProgramState& state, const SessionRunOptions& options, const SessionOutput& out);

// Replays a recording on a clock of its own, as fast as the demo runs. With
// no Duration given (zero), until the recording's end. Same exit statuses.
int RunReplaySession(ProgramState& state, const SessionRunOptions& options, const std::filesystem::path& file,
                     const SessionOutput& out);

// The same over the network, on the real clock: the waits and ticks take the
// time they take in the windows. Same exit statuses.
int RunNetworkSession(ProgramState& state, const SessionRunOptions& options, const NetworkTarget& target,
                      const SessionOutput& out);

}  // namespace tarnwick::tools
