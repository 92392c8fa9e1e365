#pragma once
// The work folder holds the program's three files.
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// The current directory with one trailing separator dropped ("/" gives "").
std::string WorkFolderFrom(std::string_view currentDirectory);

// The work folder as a directory path ("" is the root folder).
std::filesystem::path WorkFolderPath(std::string_view workFolder);

// WorkFolder + separator + name; "" + "/x" gives "/x" for the root folder.
std::filesystem::path WorkFile(std::string_view workFolder, std::string_view fileName);

}  // namespace tarnwick
