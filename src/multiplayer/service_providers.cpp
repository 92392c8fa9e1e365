#include "multiplayer/service_providers.h"

#include "multiplayer/record/replay_transport.h"

namespace tarnwick {

std::vector<ConnectionType> ProgramConnectionTypes(TransportFactory demo, TransportFactory tcpIp,
                                                   TransportFactory replay) {
    std::vector<ConnectionType> types;
    types.push_back({kTcpIpConnectionName, std::move(tcpIp)});
    types.push_back({kDemoConnectionName, std::move(demo)});
    types.push_back({kReplayConnectionName, std::move(replay)});
    return types;
}

std::vector<std::string> ServiceProviderSet::ConnectionTypes() {
    std::vector<std::string> names;
    for (const ConnectionType& type : types_) names.push_back(type.Name);
    return names;
}

void ServiceProviderSet::StartInitializeConnection(int number) {
    if (bound_) throw SessionError("the session object is already bound to a connection type");
    if (number < 1 || number > static_cast<int>(types_.size())) throw SessionError("no such connection type");
    const ConnectionType& type = types_[static_cast<std::size_t>(number - 1)];
    if (!type.Create) throw SessionError(type.Name + " is not available in this build");
    std::unique_ptr<SessionTransport> transport = type.Create();
    transport->StartInitializeConnection(1);
    bound_ = std::move(transport);
}

SessionTransport& ServiceProviderSet::Target() {
    if (!bound_) throw SessionError("no connection type chosen");
    return *bound_;
}

}  // namespace tarnwick
