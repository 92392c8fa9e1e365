#pragma once
// DirectPlay ids are opaque 32-bit values; the program holds them as the
// signed 32-bit numbers DirectPlay's automation objects hand out, bit for bit.
#include <bit>
#include <cstdint>

#include "multiplayer/directplay/protocol_constants.h"

namespace tarnwick {

inline std::int32_t ProgramPlayerId(directplay::PlayerId id) { return std::bit_cast<std::int32_t>(id); }
inline directplay::PlayerId WirePlayerId(std::int32_t id) { return std::bit_cast<directplay::PlayerId>(id); }

}  // namespace tarnwick
