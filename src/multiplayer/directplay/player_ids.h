#pragma once
// A host's player and group ids: a 16-bit slot in the low half, a counter that
// changes with every allocation in the high half, the whole XORed with the
// session's reserved1 key so that the sequence does not show.
//
// The program's own code treats ids as signed 32-bit values that are valid
// from 1 up, as DirectPlay's automation objects hand them out; this host keeps
// the top bit clear (key and counter below 0x8000) and never gives out 0, 1 or
// 0xFFFFFFFF, the ids DirectPlay reserves.
#include <cstdint>
#include <optional>
#include <set>

#include "multiplayer/directplay/protocol_constants.h"

namespace tarnwick::directplay {

class PlayerIdAllocator {
   public:
    // The key's top bit is cleared.
    explicit PlayerIdAllocator(std::uint32_t key);
    std::uint32_t Key() const { return key_; }
    // Empty when all 65536 slots are in use.
    std::optional<PlayerId> Allocate();
    void Release(PlayerId id);

   private:
    std::uint32_t key_;
    std::uint32_t counter_ = 0;
    std::set<std::uint32_t> used_slots_;
};

}  // namespace tarnwick::directplay
