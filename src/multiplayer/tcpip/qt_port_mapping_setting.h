#pragma once
// Whether the program asks the home router to open its ports, kept with
// QSettings in the user's configuration beside the recent host addresses;
// on unless the user turned it off.
#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick {

class QtPortMappingSetting final : public PortMappingSetting {
   public:
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
};

}  // namespace tarnwick
