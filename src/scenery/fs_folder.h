#pragma once
// The setup window's rules for the simulator folder it is given.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr const char* kNotFs2002Folder =
    "The directory or path that you selected is not your currently FS2002 main folder, because this program "
    "didn't found the FS2002.EXE file. Please try again.";
inline constexpr const char* kSettingsCreated = "Settings file created successfully!";
inline constexpr const char* kSetupNotFinished = "You didn't finish setup process, program will end";

// A Windows drive root of 3 characters (C:\ or C:/) loses its separators, so
// that appending "\fs2002.exe" gives C:\fs2002.exe. Other texts, Linux paths
// such as /fs included, are kept: empty result.
std::optional<std::string> ShortenDriveRoot(std::string_view text);

// True when folder + "\fs2002.exe" names a file, the name matched ignoring case.
// `folder` is UTF-8; relative folders are taken from `baseFolder`.
bool HoldsFs2002Exe(std::string_view folder, const std::filesystem::path& baseFolder);

// Deletes the program's settings file from the work folder (its name in any
// case), and nothing else; failures are ignored.
void DeleteSettingsFile(const std::string& workFolder);

}  // namespace tarnwick
