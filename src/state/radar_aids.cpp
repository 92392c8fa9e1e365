#include "state/radar_aids.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarnwick {

RadarAids Clamped(RadarAids aids) {
    for (const AidNumber& number : kAidNumbers)
        aids.*number.Field = std::clamp(aids.*number.Field, number.Lowest, number.Highest);
    if (!std::isfinite(aids.ConflictDistanceNm)) aids.ConflictDistanceNm = RadarAids{}.ConflictDistanceNm;
    aids.ConflictDistanceNm =
        std::clamp(aids.ConflictDistanceNm, kLowestConflictDistanceNm, kHighestConflictDistanceNm);
    if (aids.LowestAltitudeFt > aids.HighestAltitudeFt)
        std::swap(aids.LowestAltitudeFt, aids.HighestAltitudeFt);
    return aids;
}

}  // namespace tarnwick
