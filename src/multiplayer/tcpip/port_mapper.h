#pragma once
// Port mappings on the home router (UPnP Internet Gateway Device), so that a
// DirectPlay host on the Internet can open its connections back to this
// computer. Asking the router takes seconds, so a request answers through a
// future that the caller polls from its event loop, as a host-name lookup
// does.
#include <cstdint>
#include <future>
#include <memory>
#include <string>

namespace tarnwick {

// Ports of this computer to be reached on the same port numbers at the
// router's outside address: DirectPlay tells the other machines its own port
// numbers, so the router must not pick others.
struct PortMappingRequest {
    std::uint16_t TcpPort = 0;  // the session's TCP listener
    std::uint16_t UdpPort = 0;  // the session's UDP socket
    // The router removes a mapping that is not renewed within this time.
    std::uint32_t LeaseSeconds = 0;
    std::string Description;
};

struct PortMappingResult {
    bool RouterFound = false;
    std::string Router;          // how the router names itself, or its address
    std::string OutsideAddress;  // the router's address on the Internet
    bool Mapped = false;         // both ports
    // The router gave that outside port to another computer already: this
    // one must listen on another port and ask again.
    bool TcpPortTaken = false;
    bool UdpPortTaken = false;
    std::string Refusal;  // what the router refused, in words; empty when all went well
};

using PortMapping = std::future<PortMappingResult>;

class PortMapper {
   public:
    virtual ~PortMapper() = default;
    // Maps both ports, or renews their lease; asking again for ports mapped
    // before is a renewal.
    virtual PortMapping Map(const PortMappingRequest& request) = 0;
    // Removes the mappings of a request made before; nothing waits for it.
    // A mapper that goes finishes its removals first.
    virtual void Unmap(const PortMappingRequest& request) = 0;
};

// Whether the user lets the program ask the router for ports; kept where the
// keeper keeps it (the user's configuration for the program).
class PortMappingSetting {
   public:
    virtual ~PortMappingSetting() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

// A choice made once, as on a tool's command line.
class FixedPortMappingSetting final : public PortMappingSetting {
   public:
    explicit FixedPortMappingSetting(bool enabled) : enabled_(enabled) {}
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }

   private:
    bool enabled_;
};

// The router of this computer's network, asked by UPnP (UpnpPortMapper);
// none in a build without libminiupnpc.
std::shared_ptr<PortMapper> HomeRouterPortMapper();

// Whether a host at this address (host order) lies beyond the home router:
// not this computer and not the local network's private ranges, where no
// router stands between and asking one only costs time.
bool BeyondHomeRouter(std::uint32_t ip);

// What the user should know about the router after a search or a join that
// came to nothing: whether a router answered and what it refused, and which
// ports to forward by hand. Windows-1252.
std::string RouterAdvice(const PortMappingResult& result, bool mappingWanted);

// One line for the log and the window: what was mapped where.
std::string MappingSummary(const PortMappingRequest& request, const PortMappingResult& result);

}  // namespace tarnwick
