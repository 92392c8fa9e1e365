#pragma once
// Wine prefixes as Wine lays them out, for tests of what is found in them.
#include <filesystem>
#include <string>

namespace tarnwick::testing {

// drive_c/, and dosdevices/ with c: -> ../drive_c and z: -> / as Wine makes
// them. Returns `prefix`.
std::filesystem::path MakeWinePrefix(const std::filesystem::path& prefix);

// An empty FS2002.EXE (the name as given) in `folder`, made with its parents.
void PutSimulatorExe(const std::filesystem::path& folder, const std::string& name = "FS2002.EXE");

// A registry file (system.reg) naming `windowsFolder` as FS2002's folder, as
// its installer writes it.
void WriteSimulatorRegistry(const std::filesystem::path& prefix, const std::string& windowsFolder);

}  // namespace tarnwick::testing
