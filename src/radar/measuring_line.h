#pragma once
// The measuring line: while the left button is held, a dotted line from where
// it went down to the pointer, labelled with the distance and magnetic course.
#include <cstdint>
#include <string>

#include "radar/scope_context.h"

namespace tarnwick {

inline constexpr Rgb kMeasureLabelWhite{255, 255, 255};

// "Dist: 12 nm  Course: 270 *": the asterisk stands for the degree sign.
std::string MeasureLabel(std::int16_t distanceNm, std::int16_t courseDegrees);

// One pointer move while measuring: the picture is cleared, the line and its
// label drawn, then the background and the traffic over them.
void DrawMeasuringMove(const ScopeContext& scope, GeoPosition anchor, GeoPosition pointer);

}  // namespace tarnwick
