#include "state/work_folder.h"

namespace tarnwick {

std::string WorkFolderFrom(std::string_view currentDirectory) {
    std::string folder(currentDirectory);
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

std::filesystem::path WorkFolderPath(std::string_view workFolder) {
    return workFolder.empty() ? std::filesystem::path("/") : std::filesystem::path(workFolder);
}

std::filesystem::path WorkFile(std::string_view workFolder, std::string_view fileName) {
    return std::filesystem::path(std::string(workFolder) + "/" + std::string(fileName));
}

}  // namespace tarnwick
