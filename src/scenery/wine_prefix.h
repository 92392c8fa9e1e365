#pragma once
// Wine prefixes: the folder Wine keeps a Windows machine in (drive_c/ for C:,
// dosdevices/ with a link per drive letter, the registry files). On Linux the
// simulator lives in one, and paths written by Windows programs (scenery.cfg,
// the registry) name its drives by letter.
#include <filesystem>
#include <optional>
#include <string_view>

namespace tarnwick {

// True when `folder` holds dosdevices/ or drive_c/.
bool IsWinePrefix(const std::filesystem::path& folder);

// The prefix that holds `folder`: the first folder from `folder` upwards that
// is a prefix, first along the path as written, then along its real path
// (symbolic links resolved). Empty when there is none.
std::optional<std::filesystem::path> PrefixHolding(const std::filesystem::path& folder);

// The drive letter a Windows path starts with ("C:\...", "d:/...", "E:"),
// lower-cased; empty for any other text.
std::optional<char> DriveLetterOf(std::string_view path);

// The folder behind a drive letter of `prefix`: where dosdevices/<letter>:
// leads (a relative link read from dosdevices/, as Wine writes c: as
// ../drive_c), else drive_c/ for C:. Empty when the drive is not there.
std::optional<std::filesystem::path> DriveFolder(const std::filesystem::path& prefix, char letter);

// A Windows path that starts with a drive letter (UTF-8, either slash),
// resolved inside `prefix` part by part, ignoring case as Windows does. Empty
// when the text has no drive letter, the drive is missing or some part of
// the path does not exist.
std::optional<std::filesystem::path> ResolveDrivePath(const std::filesystem::path& prefix,
                                                      std::string_view windowsPath);

}  // namespace tarnwick
