#pragma once
// Where a tool's simulated pilots fly: an airport of the work folder's
// databases, or a point with a runway laid out at it. The tools that fly
// pilots take the same options for it.
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "multiplayer/demo/traffic_simulator.h"

namespace tarnwick::tools {

struct SimulatedAreaChoice {
    std::optional<std::string> AirportIcao;
    std::string Work = ".";
    std::optional<std::pair<double, double>> Center;  // latitude, longitude
};

// Takes --airport ICAO, --work WORK or --center LAT,LON; false for any other
// option. A UsageError names a bad value.
bool TakeAreaOption(const std::string& option, const std::string& value, SimulatedAreaChoice& choice);
// A UsageError unless exactly one of --airport and --center was given.
void RequireOneArea(const SimulatedAreaChoice& choice);

// The simulator's setup with its area filled in, or why the area could not be
// had. Problems with the databases that still leave the airport go to
// standard error after `tool`'s name.
std::variant<TrafficSimulatorSetup, std::string> SimulatedArea(const SimulatedAreaChoice& choice,
                                                               const std::string& tool);

}  // namespace tarnwick::tools
