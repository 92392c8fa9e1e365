#pragma once
// The host addresses typed before, kept with QSettings in the user's
// configuration (organisation and application "Tarnwick"), never in the work
// folder, whose files keep their layouts.
#include "multiplayer/tcpip/address_history.h"

namespace tarnwick {

class QtAddressHistory final : public AddressHistory {
   public:
    std::vector<std::string> Recent() const override;
    void Remember(std::string_view address) override;
};

}  // namespace tarnwick
