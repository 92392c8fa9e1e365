#pragma once
// The full data block: two lines, the name, then the altitude in hundreds of
// feet (three digits), a climb or descent mark once the vertical speed passes
// 300 ft/min, and the ground speed in knots: "035+ 250", "120- 310",
// "004  0". Plain Windows-1252 characters, which have no arrows: + and - read
// at a glance where ^ and v are a few pixels or a letter. "--" while the
// speed is unknown.
#include <cstdint>
#include <string>
#include <vector>

#include "state/motion_history.h"
#include "state/traffic_table.h"

namespace tarnwick {

inline constexpr double kClimbMarkFpm = 300.0;
inline constexpr char kClimbMark = '+';
inline constexpr char kDescentMark = '-';

std::string DataBlockSecondLine(std::int32_t altitudeFt, const Motion& motion);

// The label's lines: the data block's two, or the one label of the scope.
std::vector<std::string> LabelLines(const PlayerRecord& record, const Motion& motion, bool dataBlock);

}  // namespace tarnwick
