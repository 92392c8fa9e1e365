#pragma once
// Which machine takes over a session whose host has gone: the one whose system
// player has the lowest id. Ids travel XORed with the session's key, so
// "lowest" needs a reading, and the published protocol does not give one; this
// program compares them as unsigned 32-bit numbers, the form they travel in.
// The choice is made here and nowhere else.
#include <optional>

#include "multiplayer/directplay/name_table.h"

namespace tarnwick::directplay {

// True when a machine with system player `a` takes over before one with `b`.
bool PrecedesAsHost(PlayerId a, PlayerId b);

// The machine that takes over among the system players of the name table.
std::optional<PlayerId> ElectHost(const NameTable& names);

}  // namespace tarnwick::directplay
