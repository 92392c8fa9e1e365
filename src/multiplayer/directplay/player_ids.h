#pragma once
// A host's player and group ids: a 16-bit slot in the low half, a counter that
// changes with every allocation in the high half, the whole XORed with the
// session's reserved1 key so that the sequence does not show. Any 32-bit key
// will do, so ids take every value, the top bit set included: the program
// never reads a sign into them.
//
// Three values are never given out: 0 (every player), 1 (DPID_SERVERPLAYER,
// the server of a client/server session) and 0xFFFFFFFF (DPID_UNKNOWN).
#include <cstdint>
#include <optional>
#include <set>

#include "multiplayer/directplay/protocol_constants.h"

namespace tarnwick::directplay {

class PlayerIdAllocator {
   public:
    explicit PlayerIdAllocator(std::uint32_t key) : key_(key) {}
    std::uint32_t Key() const { return key_; }
    // Empty when all 65536 slots are in use.
    std::optional<PlayerId> Allocate();
    // Keeps an id another host gave out from being given again: its slot under
    // this key is taken, whatever scheme made it, and the counter moves past
    // its own, so that ids of players who left before do not come back soon.
    void Reserve(PlayerId id);
    void Release(PlayerId id) { usedSlots_.erase(SlotOf(id)); }

   private:
    std::uint32_t SlotOf(PlayerId id) const { return (id ^ key_) & 0xFFFF; }

    std::uint32_t key_;
    std::uint32_t counter_ = 0;
    std::set<std::uint32_t> usedSlots_;
};

}  // namespace tarnwick::directplay
