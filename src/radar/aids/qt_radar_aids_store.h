#pragma once
// The controller's radar aids kept with QSettings in the user's configuration
// (organisation and application "Tarnwick", group RadarAids), beside the
// address history, never in the work folder. Values a hand-edited file puts
// out of range are brought back into it.
#include "state/radar_aids.h"

namespace tarnwick {

RadarAids LoadRadarAids();
void SaveRadarAids(const RadarAids& aids);

}  // namespace tarnwick
