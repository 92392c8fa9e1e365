#pragma once
// What the coordination core is told and what it asks for in return. It does
// no I/O and reads time only from an injected clock: the session object feeds
// it the roster and the received messages, and carries out its actions.
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tarnwick::coordination {

using Millis = std::chrono::milliseconds;

class Clock {
   public:
    virtual ~Clock() = default;
    // Time since any fixed start; only differences matter.
    virtual Millis Now() const = 0;
};

namespace action {
// Send these bytes, guaranteed, from the program's player to that player (a
// controller, never a group or all players).
struct Send {
    std::int32_t To = 0;
    std::vector<std::uint8_t> Bytes;
};
// A line for the session's chat log (Windows-1252), e.g. a controller leaving.
struct ChatLine {
    std::string Text;
};
// A line for the controllers' log: their texts and the coordination's events.
struct ControllerLine {
    std::string Text;
};
// Something skipped or refused, and why: for a diagnostic log.
struct Note {
    std::string Text;
};
// What the windows show has changed: controllers, owners, handoffs, strips.
struct StateChanged {};
}  // namespace action

using Action =
    std::variant<action::StateChanged, action::Send, action::ChatLine, action::ControllerLine, action::Note>;

}  // namespace tarnwick::coordination
