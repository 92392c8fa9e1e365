#include "multiplayer/record/recording_name.h"

#include <cstdio>

#include "state/area_identifier.h"

namespace tarnwick {

std::string DefaultRecordingName(const std::tm& local, std::string_view areaKind,
                                 std::string_view areaTitle) {
    char when[48];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d-%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    const std::string area = AreaIdentifier(areaKind, areaTitle);
    return std::string("Tarnwick-") + when + (area.empty() ? "" : "-" + area) + ".jsonl";
}

}  // namespace tarnwick
