#pragma once
// The views the controller left each area at, kept with QSettings in the
// user's configuration (organisation and application "Tarnwick", group
// RadarViews, one key per area), beside the radar aids, never in the work
// folder. A value that does not read as a view is passed over.
#include <optional>
#include <string>

#include "radar/remembered_view.h"

namespace tarnwick {

std::optional<RememberedView> LoadRememberedView(const std::string& areaKey);
void SaveRememberedView(const std::string& areaKey, const RememberedView& view);

}  // namespace tarnwick
