#include "simhost_area.h"

#include <cstdio>
#include <exception>

#include "base/ansi.h"
#include "multiplayer/demo/demo_session.h"
#include "world_loading.h"

namespace tarnwick::tools {

std::variant<TrafficSimulatorSetup, std::string> SimulatedArea(const SimhostOptions& options) {
    TrafficSimulatorSetup setup;
    setup.Aircraft = options.Aircraft;
    setup.RefuseJoins = options.Refuse;
    if (options.Center) {
        setup.CenterLat = options.Center->first;
        setup.CenterLon = options.Center->second;
        return setup;
    }
    const std::optional<std::string> icao = Utf8ToAnsi(*options.AirportIcao);
    if (!icao) return "'" + *options.AirportIcao + "' is not an airport identifier";
    ProgramState state;
    WorldLoad load;
    try {
        load = LoadWorld(options.Work, state, false);
    } catch (const std::exception& error) {
        return "cannot look up " + *options.AirportIcao + " in the work folder '" + options.Work +
               "': " + error.what();
    }
    for (const std::string& problem : load.Problems)
        std::fprintf(stderr, "tarnwick-simhost: %s\n", problem.c_str());
    const std::string wanted = UpperCaseAnsi(*icao);
    for (const AirportRecord& airport : state.World.WorldAirports) {
        if (airport.IcaoId.empty() || UpperCaseAnsi(airport.IcaoId) != wanted) continue;
        setup.CenterLat = airport.Lat;
        setup.CenterLon = airport.Lon;
        setup.Runways = SimulatedRunwaysOf(airport);
        setup.ElevationFt = airport.ElevationFt;
        return setup;
    }
    return "no airport " + *options.AirportIcao + " in the work folder '" + options.Work +
           "' (see tarnwick-db list --airports)";
}

}  // namespace tarnwick::tools
