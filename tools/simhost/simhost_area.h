#pragma once
// Where tarnwick-simhost's pilots fly: an airport of the work folder's
// databases, or a point with a runway laid out at it.
#include <string>
#include <variant>

#include "multiplayer/demo/traffic_simulator.h"
#include "simhost_options.h"

namespace tarnwick::tools {

// The simulator's setup, or why the area could not be had.
std::variant<TrafficSimulatorSetup, std::string> SimulatedArea(const SimhostOptions& options);

}  // namespace tarnwick::tools
