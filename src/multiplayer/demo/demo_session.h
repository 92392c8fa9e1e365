#pragma once
// "Demo Session On This Computer": a session hosted in this process by the
// traffic simulator, so the program can be seen working without FS2002. The
// transport moves the simulation to its clock's time whenever the program
// looks at the session, so the program's own timers drive it.
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "multiplayer/demo/traffic_simulator.h"
#include "multiplayer/forwarding_transport.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/service_providers.h"
#include "state/records.h"

namespace tarnwick {

using DemoClock = std::function<std::chrono::milliseconds()>;

struct DemoSessionSetup {
    TrafficSimulatorSetup Traffic;
    // Milliseconds from any fixed start; a steady clock in the program, a
    // hand-moved one in tests.
    DemoClock Clock;
};

class DemoSessionTransport final : public ForwardingTransport {
   public:
    explicit DemoSessionTransport(DemoSessionSetup setup);
    ~DemoSessionTransport() override;

    void StartEnumerateSessions() override;
    std::int32_t MessageCount(std::int32_t player) override;
    std::vector<SessionMember> Players() override;

    const TrafficSimulator& Simulator() const { return *simulator_; }

   private:
    SessionTransport& Target() override { return *transport_; }
    void Simulate();

    DemoClock clock_;
    InProcessSessionHub hub_;
    std::unique_ptr<TrafficSimulator> simulator_;
    std::unique_ptr<InProcessTransport> transport_;
};

// The demo connection type's factory. `setup` is asked when the user picks
// the demo, so it can take the area chosen last.
TransportFactory DemoSessionFactory(std::function<DemoSessionSetup()> setup);

// An airport's runways as the simulator takes them.
std::vector<SimulatedRunway> SimulatedRunwaysOf(const AirportRecord& airport);

}  // namespace tarnwick
