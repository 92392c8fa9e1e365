#include "simulated_area.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>

#include "base/ansi.h"
#include "base/command_line.h"
#include "multiplayer/demo/demo_session.h"
#include "world_loading.h"

namespace tarnwick::tools {
namespace {

std::optional<double> Decimal(const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::pair<double, double>> Point(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const auto lat = Decimal(text.substr(0, comma));
    const auto lon = Decimal(text.substr(comma + 1));
    if (!lat || !lon || std::abs(*lat) > 90.0 || std::abs(*lon) > 180.0) return std::nullopt;
    return std::pair{*lat, *lon};
}

}  // namespace

bool TakeAreaOption(const std::string& option, const std::string& value, SimulatedAreaChoice& choice) {
    const auto bad = [&] { throw UsageError("bad value '" + value + "' for " + option); };
    if (option == "--airport") {
        if (value.empty()) bad();
        choice.AirportIcao = value;
    } else if (option == "--center") {
        choice.Center = Point(value);
        if (!choice.Center) bad();
    } else if (option == "--work") {
        choice.Work = value;
    } else {
        return false;
    }
    return true;
}

void RequireOneArea(const SimulatedAreaChoice& choice) {
    if (choice.AirportIcao.has_value() == choice.Center.has_value())
        throw UsageError("give either --airport ICAO or --center LAT,LON");
}

std::variant<TrafficSimulatorSetup, std::string> SimulatedArea(const SimulatedAreaChoice& choice,
                                                               const std::string& tool) {
    TrafficSimulatorSetup setup;
    if (choice.Center) {
        setup.CenterLat = choice.Center->first;
        setup.CenterLon = choice.Center->second;
        return setup;
    }
    const std::optional<std::string> icao = Utf8ToAnsi(*choice.AirportIcao);
    if (!icao) return "'" + *choice.AirportIcao + "' is not an airport identifier";
    ProgramState state;
    WorldLoad load;
    try {
        load = LoadWorld(choice.Work, state, false);
    } catch (const std::exception& error) {
        return "cannot look up " + *choice.AirportIcao + " in the work folder '" + choice.Work +
               "': " + error.what();
    }
    for (const std::string& problem : load.Problems)
        std::fprintf(stderr, "%s: %s\n", tool.c_str(), problem.c_str());
    const std::string wanted = UpperCaseAnsi(*icao);
    for (const AirportRecord& airport : state.World.WorldAirports) {
        if (airport.IcaoId.empty() || UpperCaseAnsi(airport.IcaoId) != wanted) continue;
        setup.CenterLat = airport.Lat;
        setup.CenterLon = airport.Lon;
        setup.Runways = SimulatedRunwaysOf(airport);
        setup.ElevationFt = airport.ElevationFt;
        return setup;
    }
    return "no airport " + *choice.AirportIcao + " in the work folder '" + choice.Work +
           "' (see tarnwick-db list --airports)";
}

}  // namespace tarnwick::tools
