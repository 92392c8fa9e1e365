#pragma once
// The program's own connection types and the object that dispatches to the one
// the user chose. A new kind of connection plugs in as one more factory.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "multiplayer/forwarding_transport.h"

namespace tarnwick {

inline constexpr const char* kTcpIpConnectionName = "Internet TCP/IP Connection For DirectPlay";
inline constexpr const char* kDemoConnectionName = "Demo Session On This Computer";

using TransportFactory = std::function<std::unique_ptr<SessionTransport>()>;

struct ConnectionType {
    std::string Name;
    // Makes a transport for this kind of connection; empty while the program
    // has none, and choosing the type then fails like a cancelled connection.
    TransportFactory Create;
};

// The connection types in the order they are listed; TCP/IP and the replay
// fail until their factories exist.
std::vector<ConnectionType> ProgramConnectionTypes(TransportFactory demo, TransportFactory tcpIp = {},
                                                   TransportFactory replay = {});

// A session object over several connection types: StartInitializeConnection
// makes the chosen type's transport, and every later operation goes to it.
class ServiceProviderSet final : public ForwardingTransport {
   public:
    explicit ServiceProviderSet(std::vector<ConnectionType> types) : types_(std::move(types)) {}

    std::vector<std::string> ConnectionTypes() override;
    void StartInitializeConnection(int number) override;
    bool SessionLost() override { return bound_ && bound_->SessionLost(); }
    std::string RouterStatus() override { return bound_ ? bound_->RouterStatus() : std::string(); }

   private:
    SessionTransport& Target() override;

    std::vector<ConnectionType> types_;
    std::unique_ptr<SessionTransport> bound_;
};

}  // namespace tarnwick
