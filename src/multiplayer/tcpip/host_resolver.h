#pragma once
// Host names looked up without holding the caller up: a lookup answers
// through a future that the caller polls from its event loop, so a slow name
// server never freezes a window.
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

// The IPv4 address (host order), or nothing when the name is unknown.
using HostLookup = std::future<std::optional<std::uint32_t>>;

class HostResolver {
   public:
    virtual ~HostResolver() = default;
    virtual HostLookup Lookup(const std::string& name) = 0;
};

// The system's resolver, each lookup on a thread of its own: getaddrinfo
// cannot be cancelled, so a lookup whose future is dropped runs to its end
// and then leaves nothing behind.
std::shared_ptr<HostResolver> SystemHostResolver();

}  // namespace tarnwick
