#pragma once
// The simulator's magnetic declination file, scenery\magdec.bgl. Only two
// things in it matter: the 32-bit section offset S at byte 110, and the grid of
// 360 columns (longitude 0 eastward) of 181 signed 16-bit values (latitude -90
// northward) starting at S + 8.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "geo/declination_grid.h"
#include "scenery/scenery_buffer.h"

namespace tarnwick {

inline constexpr std::int64_t kMagdecOffsetField = 110;
inline constexpr std::int64_t kMagdecGridSkip = 8;  // bytes between S and the first grid value
inline constexpr std::int64_t kMagdecGridBytes = 2 * std::int64_t{DeclinationGrid::kCellCount};

struct DeclinationLoadResult {
    bool Ok = false;
    std::string Problem;  // names the file and what is wrong with it
};

// FsFolder + "\scenery\magdec.bgl", resolved case-insensitively against the
// real entries; where nothing matches, the path as it would be spelled.
// `fsFolder` is the stored ANSI text; a relative one is taken from `baseFolder`.
std::filesystem::path MagdecPathFor(const std::string& fsFolder, const std::filesystem::path& baseFolder);

// Reads the whole file; when the offset at 110 is positive, fills the grid from
// it. A missing, unreadable or too short file leaves the grid unchanged and
// returns Ok false. A file whose offset is 0 or negative leaves the grid as it
// is and is fine. Opening the file never creates it.
DeclinationLoadResult LoadDeclination(const std::filesystem::path& file, DeclinationGrid& grid);

// Fills every cell from the section at `sectionOffset`. Throws SceneryReadError
// (and leaves the grid unchanged) when the grid does not lie inside the buffer.
void ReadDeclinationGrid(const SceneryBuffer& buffer, std::int32_t sectionOffset, DeclinationGrid& grid);

}  // namespace tarnwick
