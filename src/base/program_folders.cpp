#include "base/program_folders.h"

#include <system_error>

namespace tarnwick {

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

std::filesystem::path ShippedDataFolder(const std::filesystem::path& executableFolder) {
    return executableFolder.parent_path() / "share" / "tarnwick";
}

}  // namespace tarnwick
