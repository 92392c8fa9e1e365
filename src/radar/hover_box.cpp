#include "radar/hover_box.h"

#include <algorithm>

namespace tarnwick {

namespace {

struct AxisPlace {
    std::int64_t Start = 0;
    bool Clear = false;  // the box leaves the pointer free on this axis
};

AxisPlace PlaceOnAxis(std::int64_t pointer, std::int64_t size, std::int64_t extent) {
    const std::int64_t after = pointer + kHoverBoxGapPx;
    if (after + size <= extent) return {after, true};
    const std::int64_t before = pointer - kHoverBoxGapPx - size;
    if (before >= 0) return {before, true};
    return {std::max<std::int64_t>(extent - size, 0), false};
}

std::int32_t Pixel(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

ScreenPoint PlaceHoverBox(ScreenPoint pointer, BoxSize box, BoxSize picture) {
    const AxisPlace x = PlaceOnAxis(pointer.X, box.Width, picture.Width);
    AxisPlace y = PlaceOnAxis(pointer.Y, box.Height, picture.Height);
    if (!x.Clear && !y.Clear) {
        const bool roomBelow = picture.Height - pointer.Y >= pointer.Y;
        y.Start = roomBelow ? std::int64_t{pointer.Y} + kHoverBoxGapPx
                            : std::int64_t{pointer.Y} - kHoverBoxGapPx - box.Height;
    }
    return {Pixel(x.Start), Pixel(y.Start)};
}

}  // namespace tarnwick
