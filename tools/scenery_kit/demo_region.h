#pragma once
// The Seattle demo region: airports and airspaces read from the demo JSON and
// turned into scenery-file descriptions.
#include <filesystem>
#include <vector>

#include "scenery_kit/bgl_writer.h"

namespace tarnwick::mkscenery {

struct DemoRegion {
    std::vector<bgl::Airport> Airports;  // in the order of the source
    std::vector<bgl::Airspace> Airspaces;
};

// Throws std::runtime_error naming the file and the entry on bad input.
DemoRegion LoadDemoRegion(const std::filesystem::path& jsonFile);

}  // namespace tarnwick::mkscenery
