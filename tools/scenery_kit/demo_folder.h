#pragma once
// The demo simulator folder: the Seattle region's scenery among a few areas
// and files that exercise the scan's corner cases.
#include <filesystem>
#include <string>

#include "scenery_kit/fs_folder.h"

namespace tarnwick::mkscenery {

struct WriteSummary {
    std::size_t Airports = 0;
    std::size_t Airspaces = 0;
    std::size_t AirportFiles = 0;  // scenery files with airports or airspaces
    std::size_t OtherFiles = 0;    // .bgl files that are not
};

WriteSummary WriteDemoFolder(FolderWriter& out, const std::filesystem::path& dataDir);

}  // namespace tarnwick::mkscenery
