#include "multiplayer/tcpip/upnp_port_mapper.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

#include <array>
#include <string>
#include <utility>

namespace tarnwick {
namespace {

// UPnP's answers that mean something to the caller.
constexpr int kConflictInMappingEntry = 718;
constexpr int kOnlyPermanentLeasesSupported = 725;
// A network where no router answered is asked again after this long.
constexpr std::chrono::seconds kRetryDiscovery{60};

std::string ErrorText(int code) {
    const char* text = strupnperror(code);
    return text ? std::string(text) + " (" + std::to_string(code) + ")" : "error " + std::to_string(code);
}

// "http://192.168.1.1:5000/rootDesc.xml" -> "192.168.1.1".
std::string HostOf(const char* url) {
    std::string text = url ? url : "";
    if (const auto scheme = text.find("://"); scheme != std::string::npos) text.erase(0, scheme + 3);
    return text.substr(0, text.find_first_of(":/"));
}

}  // namespace

struct UpnpPortMapper::Router {
    UPNPUrls urls{};
    IGDdatas data{};
    std::array<char, 64> lanAddress{};
    bool connected = false;
    Router() = default;
    Router(const Router&) = delete;
    Router& operator=(const Router&) = delete;
    ~Router() { FreeUPNPUrls(&urls); }

    int Add(const char* protocol, std::uint16_t port, std::uint32_t lease, const std::string& description) {
        const std::string number = std::to_string(port);
        const auto add = [&](const std::string& seconds) {
            return UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, number.c_str(),
                                       number.c_str(), lanAddress.data(), description.c_str(), protocol,
                                       nullptr, seconds.c_str());
        };
        const int result = add(std::to_string(lease));
        // Some routers keep mappings only until they are removed; the
        // program removes its own at the end anyway.
        return result == kOnlyPermanentLeasesSupported ? add("0") : result;
    }

    void Remove(const char* protocol, std::uint16_t port) {
        const std::string number = std::to_string(port);
        UPNP_DeletePortMapping(urls.controlURL, data.first.servicetype, number.c_str(), protocol, nullptr);
    }
};

UpnpPortMapper::UpnpPortMapper(int discoveryMs) : discoveryMs_(discoveryMs), worker_([this] { Work(); }) {}

UpnpPortMapper::~UpnpPortMapper() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

PortMapping UpnpPortMapper::Map(const PortMappingRequest& request) {
    auto answer = std::make_shared<std::promise<PortMappingResult>>();
    PortMapping mapping = answer->get_future();
    Queue([this, request, answer] { answer->set_value(MapNow(request)); });
    return mapping;
}

void UpnpPortMapper::Unmap(const PortMappingRequest& request) {
    Queue([this, request] { UnmapNow(request); });
}

void UpnpPortMapper::Queue(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void UpnpPortMapper::Work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, and every job done
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

UpnpPortMapper::Router* UpnpPortMapper::FindRouter() {
    if (router_) return router_.get();
    const auto now = std::chrono::steady_clock::now();
    if (missed_ && now - *missed_ < kRetryDiscovery) return nullptr;
    int error = 0;
    UPNPDev* devices = upnpDiscover(discoveryMs_, nullptr, nullptr, 0, 0, 2, &error);
    auto router = std::make_unique<Router>();
    const int found = devices
                          ? UPNP_GetValidIGD(devices, &router->urls, &router->data, router->lanAddress.data(),
                                             static_cast<int>(router->lanAddress.size()))
                          : 0;
    freeUPNPDevlist(devices);
    // 1: a router on the Internet; 2: one that says it is not; 3: a UPnP
    // device that is no router (its URLs are filled all the same).
    if (found == 1 || found == 2) {
        router->connected = found == 1;
        router_ = std::move(router);
        missed_.reset();
        return router_.get();
    }
    missed_ = now;
    return nullptr;
}

PortMappingResult UpnpPortMapper::MapNow(const PortMappingRequest& request) {
    PortMappingResult result;
    Router* router = FindRouter();
    if (!router) return result;
    result.RouterFound = true;
    result.Router = HostOf(router->urls.rootdescURL);
    std::array<char, 40> outside{};
    if (UPNP_GetExternalIPAddress(router->urls.controlURL, router->data.first.servicetype, outside.data()) ==
        0)
        result.OutsideAddress = outside.data();
    const int tcp = router->Add("TCP", request.TcpPort, request.LeaseSeconds, request.Description);
    const int udp = router->Add("UDP", request.UdpPort, request.LeaseSeconds, request.Description);
    result.Mapped = tcp == 0 && udp == 0;
    result.TcpPortTaken = tcp == kConflictInMappingEntry;
    result.UdpPortTaken = udp == kConflictInMappingEntry;
    // Half a mapping helps no one.
    if (tcp == 0 && udp != 0) router->Remove("TCP", request.TcpPort);
    if (udp == 0 && tcp != 0) router->Remove("UDP", request.UdpPort);
    std::string refused;
    if (tcp != 0) refused = "TCP port " + std::to_string(request.TcpPort) + ": " + ErrorText(tcp);
    if (udp != 0)
        refused += (refused.empty() ? "" : "; ") + std::string("UDP port ") +
                   std::to_string(request.UdpPort) + ": " + ErrorText(udp);
    if (!result.Mapped && !router->connected) refused += " (it says it is not connected to the Internet)";
    result.Refusal = refused;
    // A router that went away is looked for again next time.
    if (!result.Mapped && tcp < 0) router_.reset();
    return result;
}

void UpnpPortMapper::UnmapNow(const PortMappingRequest& request) {
    // Only the router that mapped can unmap: none found then, none to ask now
    // (and no discovery to hold up the end of the program).
    if (!router_) return;
    router_->Remove("TCP", request.TcpPort);
    router_->Remove("UDP", request.UdpPort);
}

std::shared_ptr<PortMapper> HomeRouterPortMapper() { return std::make_shared<UpnpPortMapper>(); }

}  // namespace tarnwick
