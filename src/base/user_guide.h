#pragma once
// Where the user's guide is: installed with the program in
// PREFIX/share/doc/tarnwick beside PREFIX/bin, and staged the same way beside
// the build's bin folder, so a program finds the guide of its own version.
#include <filesystem>
#include <string>

namespace tarnwick {

// The guide for executables in `executableFolder`.
std::filesystem::path UserGuidePath(const std::filesystem::path& executableFolder);

// The guide when it is there as a file; empty otherwise.
std::filesystem::path FindUserGuide(const std::filesystem::path& executableFolder);

// For the user when the guide cannot be shown: where it was looked for and
// where else to read it.
std::string UserGuideMissingMessage(const std::filesystem::path& lookedFor);

}  // namespace tarnwick
