#pragma once
// Flies the pilots until the time is up or the tool is asked to stop.
#include "multiplayer/demo/traffic_simulator.h"
#include "simpilots_options.h"
#include "stop_signals.h"

namespace tarnwick::tools {

// Returns the exit status.
int FlyPilots(const SimpilotsOptions& options, TrafficSimulatorSetup traffic, const StopSignals& stop);

}  // namespace tarnwick::tools
