#pragma once
// Synthetic worldwide scenery for benchmarks: many airports of realistic shape
// spread over many files and areas, mixed with other .bgl files.
#include <cstdint>
#include <filesystem>

#include "scenery_kit/demo_folder.h"
#include "scenery_kit/fs_folder.h"

namespace tarnwick::mkscenery {

// Deterministic for a given airport count and seed.
WriteSummary WriteSyntheticFolder(FolderWriter& out, const std::filesystem::path& dataDir,
                                  std::size_t airports, std::uint64_t seed);

}  // namespace tarnwick::mkscenery
