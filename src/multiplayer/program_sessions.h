#pragma once
// The session objects the program and its tools offer the user: every
// connection type of the program, with the demo session flying around the area
// chosen last.
#include <cstdint>

#include <filesystem>
#include <memory>
#include <string>

#include "multiplayer/demo/demo_session.h"
#include "multiplayer/record/replay_clock.h"
#include "multiplayer/record/session_recorder.h"
#include "multiplayer/service_providers.h"
#include "state/chosen_area.h"

namespace tarnwick {

// The demo traffic around the area's centre airport (the area airport nearest
// its centre; for an airport area the chosen airport itself), seeded from the
// clock so that every session flies differently.
DemoSessionSetup DemoSessionAround(const ChosenArea& area, DemoClock clock);

// A fresh session object over the program's connection types. `area` is read
// when the demo is chosen and must outlive the objects made. `tcpIp` makes the
// TCP/IP connection's transports (they run on the caller's event loop) and
// `replay` the replay's; a type fails like a cancelled connection without its
// factory. With a recorder, every session object tells it what it receives.
TransportFactory ProgramSessionObjects(const ChosenArea& area, DemoClock clock, TransportFactory tcpIp = {},
                                       TransportFactory replay = {},
                                       std::shared_ptr<SessionRecorder> recorder = {});

// What the program's windows record sessions with and replay them on.
struct SessionRecords {
    // Told by every session object of the program.
    std::shared_ptr<SessionRecorder> Recorder;
    std::shared_ptr<ReplayClock> Replay;
    // The program and version named in a recording.
    std::string Source;
    // The recording the replay offers first, when one was named at start.
    std::filesystem::path ReplayFile;
};
std::shared_ptr<SessionRecords> MakeSessionRecords(DemoClock clock, std::string source);

// The replay's session objects: each asks for a recording, offering the
// records' file first, and plays it on the records' clock.
TransportFactory ReplayFactory(std::shared_ptr<SessionRecords> records);

// Milliseconds of the machine's steady clock, for the program's own sessions.
DemoClock SteadyDemoClock();

}  // namespace tarnwick
