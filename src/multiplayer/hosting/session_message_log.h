#pragma once
// One JSON object per message a session host received, decoded: DirectPlay
// system messages with their fields, and the FS2002 game messages inside
// DirectPlay's player messages. Lines name ids as the program holds them
// (signed 32-bit) and texts in UTF-8.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "multiplayer/directplay/session_actions.h"
#include "multiplayer/directplay/winsock_delivery.h"

namespace tarnwick {

// A player's or group's short name (Windows-1252), when known.
using PlayerNameLookup = std::function<std::optional<std::string>(directplay::PlayerId)>;

std::string SystemMessageLogLine(std::chrono::milliseconds time, const directplay::Origin& origin,
                                 const directplay::SystemFrame& frame);
std::string GameMessageLogLine(std::chrono::milliseconds time, const directplay::action::Deliver& message,
                               const PlayerNameLookup& nameOf);

// The FS2002 message type's name, e.g. "MsgChat"; empty for types the program does not know.
std::string GameMessageName(std::int32_t type);

}  // namespace tarnwick
