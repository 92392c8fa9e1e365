#pragma once
// An entry point for fuzzing the coordination between controllers: arbitrary
// bytes go to a controller's coordination core as messages from two other
// controllers, one of them with the lowest player id, and from a pilot, with
// the clock moving on and the controller's own commands in between. It returns
// for every input; a crash, a sanitizer report or a broken invariant (which
// aborts) is a fault.
#include <cstdint>
#include <span>

namespace tarnwick {

// Layout of `data`: records of a selector byte, a little-endian 16-bit length
// and that many bytes (fewer when the data ends). The selector's low two bits
// pick the sender; bit 2 sends the bytes as they are, and otherwise they are
// the fields of a message of the kind in bits 3-5 (plus one) behind a sound
// header, so that every kind's fields are reached; bit 6 moves the clock on a
// second and runs the timer; bit 7 runs one of the controller's commands,
// picked by the record's first byte, on an aircraft picked by its second.
//
// Invariants: every message that reads encodes to bytes that read the same;
// messages go only to controllers; every owner is a controller this one knows
// and every standing handoff is to one; the messages waiting and the aircraft
// records stay within their bounds; and the aircraft this controller holds,
// settled and never offered, stays its own with its strip.
void FuzzCoordination(std::span<const std::uint8_t> data);

}  // namespace tarnwick
