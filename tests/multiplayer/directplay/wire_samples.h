#pragma once
// Bytes and sample messages shared by the DirectPlay tests.
#include <cstdint>
#include <string_view>
#include <vector>

#include "multiplayer/directplay/messages.h"

namespace tarnwick::directplay::testing {

// "46 00 B0 FA ..." to bytes; spaces and line breaks are skipped.
std::vector<std::uint8_t> Hex(std::string_view text);

// One populated message of every type the codec knows.
std::vector<SystemMessage> SampleMessages();

PlayerInfo SamplePlayer(PlayerId id, PlayerId system_player, std::u16string name);

}  // namespace tarnwick::directplay::testing
