#include "scenery_kit/magdec_writer.h"

#include "base/byte_writer.h"
#include "scenery/magdec_file.h"

namespace tarnwick {

std::vector<std::uint8_t> MagdecFileBytes(const DeclinationGrid& grid) {
    // A small header of our own: zeros up to the offset field, the offset, and a
    // section that names its dimensions before the grid. Byte 118 stays zero so
    // a scenery scan never takes this file for a scenery file.
    constexpr std::int32_t kSection = 120;
    ByteWriter out;
    out.Reserve(static_cast<std::size_t>(kSection + kMagdecGridSkip + kMagdecGridBytes));
    for (std::int64_t i = 0; i < kMagdecOffsetField; ++i) out.U8(0);
    out.I32(kSection);
    while (out.Size() < static_cast<std::size_t>(kSection)) out.U8(0);
    out.I32(DeclinationGrid::kLongitudes);
    out.I32(DeclinationGrid::kLatitudes);
    for (int cell = 0; cell < DeclinationGrid::kCellCount; ++cell)
        out.I16(grid.Cells[static_cast<std::size_t>(cell)]);
    return out.Take();
}

}  // namespace tarnwick
