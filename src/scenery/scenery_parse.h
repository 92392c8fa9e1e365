#pragma once
// What the scenery file readers share while they decode one file: the buffer,
// the file's own record tables, and the guards that refuse a damaged file instead
// of looping on it or sizing lists from garbage counts.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include <vector>

#include "geo/declination_grid.h"
#include "scenery/scenery_buffer.h"
#include "state/records.h"

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
    SceneryParse(const SceneryBuffer& buffer, const DeclinationGrid& grid);

    const SceneryBuffer& Buffer() const { return buffer_; }
    const DeclinationGrid& Grid() const { return grid_; }

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

    // Appends one empty entry to the file's tables (slots 0..count, last empty).
    AirportRecord& AppendAirport();
    AirspaceRecord& AppendAirspace();

    std::span<const AirportRecord> Airports() const {
        return {airports_.data(), static_cast<std::size_t>(airportCount_)};
    }
    std::span<const AirspaceRecord> Airspaces() const {
        return {airspaces_.data(), static_cast<std::size_t>(airspaceCount_)};
    }

   private:
    const SceneryBuffer& buffer_;
    const DeclinationGrid& grid_;
    std::int64_t budget_;
    std::vector<AirportRecord> airports_ = std::vector<AirportRecord>(1);
    std::int32_t airportCount_ = 0;
    std::vector<AirspaceRecord> airspaces_ = std::vector<AirspaceRecord>(1);
    std::int32_t airspaceCount_ = 0;
};

}  // namespace tarnwick
