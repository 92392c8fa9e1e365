#include "scenery/fs_folder.h"

#include "base/file_system.h"

namespace tarnwick {

namespace fs = std::filesystem;

std::optional<std::string> ShortenDriveRoot(std::string_view text) {
    const bool driveRoot = text.size() == 3 &&
                           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
                           text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    if (!driveRoot) return std::nullopt;
    return std::string(text.substr(0, 2));
}

bool HoldsFs2002Exe(std::string_view folder, const fs::path& baseFolder) {
    const std::string text = std::string(folder) + "\\fs2002.exe";
    const bool absolute = text.front() == '\\' || text.front() == '/';
    const auto found = ResolveNoCase(absolute ? fs::path("/") : baseFolder, text);
    std::error_code error;
    return found && fs::is_regular_file(*found, error);
}

void DeleteSettingsFiles(const std::string& workFolder) {
    const fs::path folder = workFolder.empty() ? fs::path("/") : fs::path(workFolder);
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (UpperAscii(it->path().extension().string()) == ".TCS" &&
            fs::is_regular_file(it->status(ignored))) {
            fs::remove(it->path(), ignored);
        }
    }
}

}  // namespace tarnwick
