#include "multiplayer/directplay/player_ids.h"

namespace tarnwick::directplay {

PlayerIdAllocator::PlayerIdAllocator(std::uint32_t key) : key_(key & 0x7FFFFFFF) {}

std::optional<PlayerId> PlayerIdAllocator::Allocate() {
    for (std::uint32_t slot = 0; slot <= 0xFFFF; ++slot) {
        if (used_slots_.contains(slot)) continue;
        for (int attempt = 0; attempt < 4; ++attempt) {
            counter_ = (counter_ + 1) & 0x7FFF;
            const PlayerId id = ((counter_ << 16) | slot) ^ key_;
            if (id == 0 || id == 1 || id == 0xFFFFFFFF) continue;
            used_slots_.insert(slot);
            return id;
        }
    }
    return std::nullopt;
}

void PlayerIdAllocator::Release(PlayerId id) { used_slots_.erase((id ^ key_) & 0xFFFF); }

}  // namespace tarnwick::directplay
