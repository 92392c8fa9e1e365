#pragma once
// This controller's strip bay: the strips of the aircraft it works, in the
// order the controller keeps them, and below them the finished strips of
// pilots that have left the session, the most recent first, until the session
// ends.
#include <cstddef>
#include <span>
#include <vector>

#include "state/traffic_table.h"

namespace tarnwick::coordination {

class StripBay {
   public:
    // Beyond these the bay takes no more strips, and forgets its oldest
    // finished ones.
    static constexpr std::size_t kMaxStrips = 1024;
    static constexpr std::size_t kMaxFinished = 256;

    std::span<const PlayerKey> Strips() const { return strips_; }
    std::span<const PlayerKey> Finished() const { return finished_; }
    bool Has(const PlayerKey& aircraft) const;
    bool IsFinished(const PlayerKey& aircraft) const;

    // At the end of the bay; false when it is there already or the bay is full.
    bool Add(const PlayerKey& aircraft);
    // From the bay or its finished part.
    bool Remove(const PlayerKey& aircraft);
    // To position `index` of the bay (clamped to its end); false when it is
    // not in the bay.
    bool Move(const PlayerKey& aircraft, std::size_t index);
    // From the bay to the top of the finished part. Returns the finished strip
    // forgotten to make room, if any.
    std::vector<PlayerKey> Finish(const PlayerKey& aircraft);

   private:
    std::vector<PlayerKey> strips_;
    std::vector<PlayerKey> finished_;
};

}  // namespace tarnwick::coordination
