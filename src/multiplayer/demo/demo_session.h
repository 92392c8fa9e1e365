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

class DemoSessionTransport final : public SessionTransport {
   public:
    explicit DemoSessionTransport(DemoSessionSetup setup);
    ~DemoSessionTransport() override;

    std::vector<std::string> ConnectionTypes() override { return {kDemoConnectionName}; }
    void InitializeConnection(int number, const ProviderPrompt& prompt) override;
    std::vector<SessionDescription> EnumerateSessions() override;
    void Open(const SessionDescription& session) override { transport_->Open(session); }
    std::int32_t CreatePlayer(const std::string& friendlyName, const std::string& formalName) override {
        return transport_->CreatePlayer(friendlyName, formalName);
    }
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override {
        transport_->Send(from, to, message);
    }
    std::int32_t MessageCount(std::int32_t player) override;
    ReceivedMessage Receive() override { return transport_->Receive(); }
    std::vector<SessionMember> Groups() override { return transport_->Groups(); }
    std::vector<SessionMember> Players() override;
    void AddPlayerToGroup(std::int32_t group, std::int32_t player) override {
        transport_->AddPlayerToGroup(group, player);
    }
    std::string FriendlyName(std::int32_t player) override { return transport_->FriendlyName(player); }
    void DestroyPlayer(std::int32_t player) override { transport_->DestroyPlayer(player); }
    void Close() override { transport_->Close(); }
    bool SessionLost() override { return transport_->SessionLost(); }

    const TrafficSimulator& Simulator() const { return *simulator_; }

   private:
    void Advance();

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
