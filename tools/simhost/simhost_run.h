#pragma once
// Serves the simulated session until its time is up, the host leaves or the
// process is asked to stop (SIGINT, SIGTERM, SIGHUP, which the caller blocks
// so that they can be taken here between two turns).
#include "multiplayer/demo/traffic_simulator.h"
#include "simhost_options.h"
#include "stop_signals.h"

namespace tarnwick::tools {

// Returns the exit status.
int ServeSession(const SimhostOptions& options, TrafficSimulatorSetup traffic, const StopSignals& stop);

}  // namespace tarnwick::tools
