#pragma once
// Where the running program and the data it ships with are. Executables live
// in BIN and the data in BIN/../share/tarnwick, in the build tree (build/bin,
// build/share/tarnwick) as in any installed prefix, so a prefix moved
// elsewhere still works and nothing refers back to the source tree.
#include <filesystem>

namespace tarnwick {

// The folder of the running executable, from /proc/self/exe; empty when that
// cannot be read.
std::filesystem::path ExecutableFolder();

// The shipped data for executables in `executableFolder`.
std::filesystem::path ShippedDataFolder(const std::filesystem::path& executableFolder);

}  // namespace tarnwick
