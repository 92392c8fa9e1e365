#include "multiplayer/demo/demo_session.h"

namespace tarnwick {
namespace {

// Sessions of one run get ids far apart, as DirectPlay's are, so that the
// entries a session leaves in the traffic table never pass for the next
// session's players.
std::int32_t FirstIdAt(std::chrono::milliseconds now) {
    return static_cast<std::int32_t>(1 + (now.count() % 1'000'000 + 1'000'000) % 1'000'000 * 1000);
}

}  // namespace

DemoSessionTransport::DemoSessionTransport(DemoSessionSetup setup)
    : clock_(std::move(setup.Clock)), hub_(FirstIdAt(clock_())) {
    hub_.HostSession(kDemoSessionName, kDemoMaxPlayers, kDemoApplicationGuid);
    simulator_ = std::make_unique<TrafficSimulator>(hub_, std::move(setup.Traffic));
    transport_ = std::make_unique<InProcessTransport>(hub_, kDemoConnectionName);
    Simulate();
}

DemoSessionTransport::~DemoSessionTransport() {
    // The program's player leaves before the session it is in goes away.
    transport_.reset();
    simulator_.reset();
}

void DemoSessionTransport::StartEnumerateSessions() {
    Simulate();
    transport_->StartEnumerateSessions();
}

std::int32_t DemoSessionTransport::MessageCount(std::int32_t player) {
    Simulate();
    return transport_->MessageCount(player);
}

std::vector<SessionMember> DemoSessionTransport::Players() {
    Simulate();
    return transport_->Players();
}

void DemoSessionTransport::Simulate() { simulator_->Advance(clock_()); }

TransportFactory DemoSessionFactory(std::function<DemoSessionSetup()> setup) {
    return [setup = std::move(setup)] { return std::make_unique<DemoSessionTransport>(setup()); };
}

std::vector<SimulatedRunway> SimulatedRunwaysOf(const AirportRecord& airport) {
    std::vector<SimulatedRunway> runways;
    for (const RunwayEntry& r : airport.FilledRunways()) {
        runways.push_back(
            {r.End1Lat, r.End1Lon, r.End2Lat, r.End2Lon, r.ElevationFt, r.PrimaryId, r.SecondaryId});
    }
    return runways;
}

}  // namespace tarnwick
