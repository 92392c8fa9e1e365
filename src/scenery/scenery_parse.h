#pragma once
// What the scenery file readers share while they decode one file: the buffer,
// the file's own record tables, and the guards that refuse a damaged file instead
// of looping on it or sizing lists from garbage counts.
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include <vector>

#include "geo/declination_grid.h"
#include "scenery/scenery_buffer.h"
#include "state/records.h"

namespace tarnwick {

// Limits on what one scenery file may hold, far above any real airport,
// airspace or file (the busiest airports have some 15 runways, a few thousand
// taxi points and segments and a few hundred parking spots). A file beyond
// them is malformed: without them a few megabytes of tiny records could make
// hundreds of megabytes of records in memory and in the databases.
inline constexpr std::int64_t kMaxRunwaysPerAirport = 1'000;
inline constexpr std::int64_t kMaxIlsPerAirport = 1'000;
inline constexpr std::int64_t kMaxTaxiPointsPerAirport = 100'000;
inline constexpr std::int64_t kMaxParkingsPerAirport = 100'000;
inline constexpr std::int64_t kMaxTaxiSegmentsPerAirport = 100'000;
inline constexpr std::int64_t kMaxBoundaryPointsPerAirspace = 100'000;
inline constexpr std::int64_t kMaxAirportsPerFile = 100'000;
inline constexpr std::int64_t kMaxAirspacesPerFile = 100'000;
inline constexpr std::int64_t kMaxRunwaysPerFile = 100'000;
inline constexpr std::int64_t kMaxIlsPerFile = 100'000;
inline constexpr std::int64_t kMaxTaxiPointsPerFile = 1'000'000;
inline constexpr std::int64_t kMaxParkingsPerFile = 1'000'000;
inline constexpr std::int64_t kMaxTaxiSegmentsPerFile = 1'000'000;
inline constexpr std::int64_t kMaxBoundaryPointsPerFile = 1'000'000;

// What the limits count.
enum class Counted { Airport, Airspace, Runway, Ils, TaxiPoint, Parking, TaxiSegment, BoundaryPoint };

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

    // Counts `added` elements of one kind into the file's total and refuses
    // the file when that total, or `inRecord` (how many of them the airport or
    // airspace holds with the new ones), passes its limit.
    void Admit(Counted kind, std::int64_t added, std::int64_t inRecord = 0);

    // A text field as the records keep it (SceneryBuffer::ReadText), decoded
    // once; a text longer than the databases can store refuses the file.
    std::string StoredText(std::int64_t offset, std::int64_t length, const char* what);

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
    std::array<std::int64_t, 8> counted_{};
    std::vector<AirportRecord> airports_ = std::vector<AirportRecord>(1);
    std::int32_t airportCount_ = 0;
    std::vector<AirspaceRecord> airspaces_ = std::vector<AirspaceRecord>(1);
    std::int32_t airspaceCount_ = 0;
};

}  // namespace tarnwick
