// A build without libminiupnpc asks no router: the user forwards the ports
// by hand, as the advice on a failed search says.
#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick {

std::shared_ptr<PortMapper> HomeRouterPortMapper() { return nullptr; }

}  // namespace tarnwick
