#pragma once
// The demo's work folder, made the way scripts/run makes it: the demo
// simulator folder FS2002 written by tarnwick-mkscenery when its FS2002.EXE is
// missing, then the settings and both databases built from it by tarnwick-db
// build when any of the three is missing. The program itself never writes
// scenery, so the tools installed beside it do the work.
#include <filesystem>
#include <string>

namespace tarnwick {

// Makes what is missing in `demoFolder` (created when needed) with the tools
// in `toolFolder`. Returns what went wrong, for the user (UTF-8), or "".
std::string PrepareDemoWorkFolder(const std::filesystem::path& demoFolder,
                                  const std::filesystem::path& toolFolder);

}  // namespace tarnwick
