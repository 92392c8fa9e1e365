#pragma once
// Port mappings asked of the router with Debian's libminiupnpc. Its calls
// block for seconds (discovery waits for answers), so they run one after the
// other on a thread of the mapper's own, never on the caller's.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick {

class UpnpPortMapper final : public PortMapper {
   public:
    // `discoveryMs`: how long discovery waits for routers to answer, for
    // each of the four kinds of device it asks for until one answers.
    explicit UpnpPortMapper(int discoveryMs = 1000);
    // Finishes the removals asked for (each call has the library's own
    // time limits), then stops its thread.
    ~UpnpPortMapper() override;
    UpnpPortMapper(const UpnpPortMapper&) = delete;
    UpnpPortMapper& operator=(const UpnpPortMapper&) = delete;

    PortMapping Map(const PortMappingRequest& request) override;
    void Unmap(const PortMappingRequest& request) override;

   private:
    struct Router;
    void Queue(std::function<void()> job);
    void Work();
    // On the mapper's thread only.
    PortMappingResult MapNow(const PortMappingRequest& request);
    void UnmapNow(const PortMappingRequest& request);
    Router* FindRouter();

    const int discoveryMs_;
    std::unique_ptr<Router> router_;  // the router found last, on the mapper's thread
    // When discovery last found none: a network without one is not asked
    // again at every search.
    std::optional<std::chrono::steady_clock::time_point> missed_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread worker_;  // last: it starts once the rest is ready
};

}  // namespace tarnwick
