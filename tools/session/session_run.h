#pragma once
// One session as the windows would run it, without windows: the connection
// window's search, join and wait, then the radar window's receive ticks
// every 100 ms and upkeep ticks every 30 s, on a clock the run moves itself,
// so a minute of session passes in a moment.
#include <chrono>
#include <string>

#include "session_output.h"
#include "state/program_state.h"

namespace tarnwick::tools {

struct SessionRunOptions {
    std::string NicknameUtf8;
    // Time spent in the session once joined; also the longest wait for the join.
    std::chrono::milliseconds Duration{60000};
};

// Joins the demo session around the area in `state`, runs it and leaves.
// Returns the exit status: 0 when the time ran out in the session, 1 when the
// join failed or was refused, or the session was lost or closed by its host.
int RunDemoSession(ProgramState& state, const SessionRunOptions& options, const SessionOutput& out);

}  // namespace tarnwick::tools
