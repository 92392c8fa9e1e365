#pragma once
// Where the information box goes. It sits beside the pointer, never over the
// pointer's hit point (the picture must keep receiving the pointer's moves,
// and the object pointed at stays visible), and inside the picture.
#include <cstdint>

#include "radar/radar_view.h"

namespace tarnwick {

// Gap between the pointer and the box on each axis: just beyond the reach of
// the hit test plus an aircraft disc, so the object pointed at stays in sight.
inline constexpr std::int32_t kHoverBoxGapPx = 12;

struct BoxSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// The box's top-left corner: below and right of the pointer, flipped to the
// other side on an axis where it would leave the picture. Only a box too big
// to fit beside the pointer on either axis leaves the picture, below or above
// the pointer, wherever there is more room.
ScreenPoint PlaceHoverBox(ScreenPoint pointer, BoxSize box, BoxSize picture);

}  // namespace tarnwick
