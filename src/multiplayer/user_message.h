#pragma once
// A message box the session logic asks its window to show, titled
// kMessageTitle like every other.
#include <string>

#include "base/message_boxes.h"

namespace tarnwick {

struct UserMessage {
    std::string Text;
    MessageIcon Icon = MessageIcon::Information;
    bool operator==(const UserMessage&) const = default;
};

}  // namespace tarnwick
