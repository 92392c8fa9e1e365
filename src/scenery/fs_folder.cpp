#include "scenery/fs_folder.h"

#include "base/file_system.h"
#include "state/settings.h"
#include "state/work_folder.h"

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

void DeleteSettingsFile(const std::string& workFolder) {
    RemoveEntriesNoCase(WorkFolderPath(workFolder), kSettingsFileName);
}

}  // namespace tarnwick
