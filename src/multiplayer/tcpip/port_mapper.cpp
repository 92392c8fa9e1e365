#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick {
namespace {

constexpr const char* kByHand =
    "forward TCP ports 2300-2349 and UDP ports 2350-2399 to this computer on the router by hand";

}  // namespace

bool BeyondHomeRouter(std::uint32_t ip) {
    const auto in = [ip](std::uint32_t network, int bits) {
        return (ip >> (32 - bits)) == (network >> (32 - bits));
    };
    return !(in(0x7F000000, 8) || in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16) ||
             in(0xA9FE0000, 16));
}

std::string RouterAdvice(const PortMappingResult& result, bool mappingWanted) {
    if (!mappingWanted)
        return std::string("Router ports were not opened (turned off). Behind a home router, ") + kByHand +
               ".";
    if (!result.RouterFound)
        return std::string(
                   "No router answered Tarnwick's request to open ports (UPnP). Behind a home router, ") +
               kByHand + ".";
    if (!result.Mapped)
        return "The router " + result.Router + " refused to open the ports: " + result.Refusal +
               ". Allow UPnP on the router, or " + kByHand + ".";
    return {};
}

std::string MappingSummary(const PortMappingRequest& request, const PortMappingResult& result) {
    if (!result.Mapped) return {};
    return "router ports opened: TCP " + std::to_string(request.TcpPort) + " and UDP " +
           std::to_string(request.UdpPort) + " at " + result.OutsideAddress + " (" + result.Router + ")";
}

}  // namespace tarnwick
