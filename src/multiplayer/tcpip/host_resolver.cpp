#include "multiplayer/tcpip/host_resolver.h"

#include <system_error>
#include <thread>
#include <utility>

#include "multiplayer/tcpip/host_address.h"

namespace tarnwick {
namespace {

class SystemResolver final : public HostResolver {
   public:
    HostLookup Lookup(const std::string& name) override {
        std::promise<std::optional<std::uint32_t>> answer;
        HostLookup lookup = answer.get_future();
        // Should no thread start, the dropped promise breaks the future, which
        // its reader takes for a failed lookup.
        try {
            std::thread([name, answer = std::move(answer)]() mutable {
                answer.set_value(ResolveHostAddress(name));
            }).detach();
        } catch (const std::system_error&) {
        }
        return lookup;
    }
};

}  // namespace

std::shared_ptr<HostResolver> SystemHostResolver() { return std::make_shared<SystemResolver>(); }

}  // namespace tarnwick
