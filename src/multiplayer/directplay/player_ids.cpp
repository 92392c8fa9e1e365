#include "multiplayer/directplay/player_ids.h"

#include <algorithm>

namespace tarnwick::directplay {

void PlayerIdAllocator::Reserve(PlayerId id) {
    usedSlots_.insert(SlotOf(id));
    counter_ = std::max(counter_, (id ^ key_) >> 16);
}

std::optional<PlayerId> PlayerIdAllocator::Allocate() {
    for (std::uint32_t slot = 0; slot <= 0xFFFF; ++slot) {
        if (usedSlots_.contains(slot)) continue;
        for (int attempt = 0; attempt < 4; ++attempt) {
            counter_ = (counter_ + 1) & 0xFFFF;
            const PlayerId id = ((counter_ << 16) | slot) ^ key_;
            if (id == kAllPlayers || id == kServerPlayer || id == kUnknownPlayer) continue;
            usedSlots_.insert(slot);
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick::directplay
