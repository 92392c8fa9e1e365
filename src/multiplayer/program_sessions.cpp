#include "multiplayer/program_sessions.h"

#include <chrono>

#include "geo/geodesy.h"

namespace tarnwick {
namespace {

const AirportRecord* CentreAirport(const ChosenArea& area) {
    const AirportRecord* nearest = nullptr;
    double nearestArc = 0.0;
    for (const AirportRecord& airport : area.FilledAirports()) {
        const double arc =
            geo::AngularDistance(area.AreaCenterLat, area.AreaCenterLon, airport.Lat, airport.Lon);
        if (!nearest || arc < nearestArc) {
            nearest = &airport;
            nearestArc = arc;
        }
    }
    return nearest;
}

}  // namespace

DemoSessionSetup DemoSessionAround(const ChosenArea& area, DemoClock clock) {
    DemoSessionSetup setup;
    setup.Traffic.CenterLat = area.AreaCenterLat;
    setup.Traffic.CenterLon = area.AreaCenterLon;
    if (const AirportRecord* airport = CentreAirport(area)) {
        setup.Traffic.CenterLat = airport->Lat;
        setup.Traffic.CenterLon = airport->Lon;
        setup.Traffic.Runways = SimulatedRunwaysOf(*airport);
        setup.Traffic.ElevationFt = airport->ElevationFt;
    }
    setup.Traffic.Seed = static_cast<std::uint64_t>(clock().count());
    setup.Clock = std::move(clock);
    return setup;
}

TransportFactory ProgramSessionObjects(const ChosenArea& area, DemoClock clock, TransportFactory tcpIp) {
    return [&area, clock = std::move(clock), tcpIp = std::move(tcpIp)] {
        return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(
            DemoSessionFactory([&area, clock] { return DemoSessionAround(area, clock); }), tcpIp));
    };
}

DemoClock SteadyDemoClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
}

}  // namespace tarnwick
