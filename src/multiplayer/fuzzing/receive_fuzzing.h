#pragma once
// An entry point for fuzzing the message handling: arbitrary bytes go through
// the receive and upkeep ticks of a joined session as messages from a few
// peers, known, unknown and departed. It returns for every input; a crash or a
// sanitizer report is a fault.
#include <cstdint>
#include <span>

namespace tarnwick {

// Layout of `data`: one byte of flags (bit 0 hosting, bit 1 traffic
// switched off), then records of a selector byte, a little-endian 16-bit
// length and that many message bytes (fewer when the data ends). The
// selector's low bits pick the sender; bit 7 runs a receive tick after the
// record, bit 6 an upkeep tick.
void FuzzReceiveTick(std::span<const std::uint8_t> data);

}  // namespace tarnwick
