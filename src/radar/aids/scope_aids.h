#pragma once
// What the radar aids add to a redraw pass: the controller's choices, the
// aircraft's motion, the labels' places from the pass before, and the
// pointer, whose aircraft keeps its label on top.
#include <optional>
#include <span>

#include "radar/aids/label_places.h"
#include "radar/canvas.h"
#include "radar/radar_view.h"
#include "state/motion_history.h"
#include "state/radar_aids.h"

namespace tarnwick {

inline constexpr Rgb kConflictRed{255, 0, 0};
inline constexpr Rgb kRangeRingGrey{56, 72, 56};

struct ScopeAids {
    const RadarAids& Settings;
    const MotionHistory& Motion;
    // Where each label went last time; without it labels are placed afresh.
    LabelPlaces* Places = nullptr;
    // The pointer over the picture, in pixels.
    std::optional<ScreenPoint> Pointer = std::nullopt;
    // The boxes of the texts the map's layers wrote in this pass, which the
    // placed labels keep clear of.
    std::span<const PixelBox> MapTexts = {};
};

}  // namespace tarnwick
