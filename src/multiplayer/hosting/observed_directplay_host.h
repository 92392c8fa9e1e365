#pragma once
// A DirectPlay host that shows every system message it receives to an
// observer before handling it, for the session host tool's log.
#include <functional>
#include <utility>

#include "multiplayer/directplay/host_session.h"

namespace tarnwick {

class ObservedDirectPlayHost final : public directplay::DirectPlayHost {
   public:
    using Observer = std::function<void(const directplay::Origin&, const directplay::SystemFrame&)>;

    ObservedDirectPlayHost(const directplay::HostConfig& config, const directplay::Clock& clock,
                           Observer observer)
        : DirectPlayHost(config, clock), observer_(std::move(observer)) {}

   protected:
    bool HandleRoleMessage(const directplay::Origin& origin, const directplay::SystemFrame& frame) override {
        if (observer_) observer_(origin, frame);
        return DirectPlayHost::HandleRoleMessage(origin, frame);
    }

   private:
    Observer observer_;
};

}  // namespace tarnwick
