#pragma once
// What the scenery file readers share while they decode one file: the buffer,
// the tables they append to, and the guards that refuse a damaged file instead
// of looping on it or sizing lists from garbage counts.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "app/program_state.h"
#include "scenery/scenery_buffer.h"

namespace tarnwick {

// A structural fault that makes the whole file unusable.
class MalformedScenery : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// The type and body length that open every block, entry and sub-record; the
// whole thing is body length + 8 bytes long.
struct BlockHeader {
    std::int64_t Offset = 0;
    std::int32_t Type = 0;
    std::int32_t Length = 0;
};

class SceneryParse {
   public:
    SceneryParse(const SceneryBuffer& buffer, ProgramState& state);

    const SceneryBuffer& Buffer() const { return buffer_; }
    const DeclinationGrid& Grid() const { return *state_.Declination; }

    BlockHeader ReadHeader(std::int64_t offset);
    // Where the next block starts. A body length of -8 or less would not move
    // forward, so the walk would loop for ever or go backwards: malformed.
    std::int64_t Next(const BlockHeader& header, const char* what) const;

    // Refuses `count` entries of `entrySize` bytes from `entriesOffset` on when
    // the rest of the file could not hold them; checked before anything is sized.
    void CheckCount(std::int64_t count, std::int64_t entrySize, std::int64_t entriesOffset,
                    std::int64_t blockOffset, const char* what) const;

    // A sound file decodes each of its bytes about once (twice when one
    // directory is reached from both sections). Chains that run into each
    // other decode the same bytes again and again and could multiply the
    // records without bound; such a file is refused.
    void Spend(std::int64_t bytes);

    // Appends one empty entry to a world table (slots 0..count, last empty).
    AirportRecord& AppendAirport();
    AirspaceRecord& AppendAirspace();

   private:
    const SceneryBuffer& buffer_;
    ProgramState& state_;
    std::int64_t budget_;
};

}  // namespace tarnwick
