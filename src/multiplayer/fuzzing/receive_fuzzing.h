#pragma once
// An entry point for fuzzing the message handling: arbitrary bytes go through
// the receive and upkeep ticks of a joined session as messages from a few
// peers, known (the first the host that admitted the program), unknown and
// departed. It returns for every input; a crash, a sanitizer report or a
// broken invariant (which aborts) is a fault.
#include <cstdint>
#include <span>

namespace tarnwick {

// What a run of the bytes went through.
struct ReceiveTickRun {
    int Messages = 0;      // records of the bytes sent as messages
    int ReadMessages = 0;  // of them, whole messages of a type the program reads
    bool SessionEnded = false;
    // Unless the session ended: a chat line a known pilot sent after all the
    // bytes reached the log, so the link still works.
    bool StillAnswers = false;
};

// Layout of `data`: one byte of flags (bit 0 hosting, bit 1 traffic
// switched off), then records of a selector byte, a little-endian 16-bit
// length and that many message bytes (fewer when the data ends). The
// selector's low bits pick the sender; bit 7 runs a receive tick after the
// record, bit 6 an upkeep tick. Every message the program reads must decode,
// encode and decode to itself.
ReceiveTickRun RunReceiveTicks(std::span<const std::uint8_t> data);

// The fuzz entry: RunReceiveTicks, and the link must still answer unless the
// session ended.
void FuzzReceiveTick(std::span<const std::uint8_t> data);

}  // namespace tarnwick
