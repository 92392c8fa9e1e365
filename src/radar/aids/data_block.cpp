#include "radar/aids/data_block.h"

#include <algorithm>
#include <cstdio>

#include "base/rounding.h"
#include "radar/traffic_layer.h"

namespace tarnwick {

std::string DataBlockSecondLine(std::int32_t altitudeFt, const Motion& motion) {
    const double hundreds = std::clamp(RoundHalfEven(altitudeFt / 100.0), 0.0, 999.0);
    char mark = ' ';
    if (motion.VerticalSpeedFpm && *motion.VerticalSpeedFpm > kClimbMarkFpm) mark = kClimbMark;
    if (motion.VerticalSpeedFpm && *motion.VerticalSpeedFpm < -kClimbMarkFpm) mark = kDescentMark;
    char line[32];
    std::snprintf(line, sizeof line, "%03d%c ", static_cast<int>(hundreds), mark);
    const std::string speed =
        motion.GroundSpeedKt ? std::to_string(static_cast<long long>(RoundHalfEven(*motion.GroundSpeedKt)))
                             : "--";
    return line + speed;
}

std::vector<std::string> LabelLines(const PlayerRecord& record, const Motion& motion, bool dataBlock) {
    if (!dataBlock) return {TrafficLabel(record)};
    return {record.Name, DataBlockSecondLine(record.Altitude, motion)};
}

}  // namespace tarnwick
