#include "scenery/wine_prefix.h"

#include <string>

#include "base/file_system.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> FirstPrefixFrom(fs::path folder) {
    for (;;) {
        if (IsWinePrefix(folder)) return folder;
        fs::path parent = folder.parent_path();
        if (parent.empty() || parent == folder) return std::nullopt;
        folder = std::move(parent);
    }
}

}  // namespace

bool IsWinePrefix(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder / "dosdevices", error) || fs::is_directory(folder / "drive_c", error);
}

std::optional<fs::path> PrefixHolding(const fs::path& folder) {
    std::error_code error;
    const fs::path written = fs::absolute(folder, error).lexically_normal();
    if (error) return std::nullopt;
    if (auto prefix = FirstPrefixFrom(written)) return prefix;
    // A folder reached through a link (~/fs2002 -> the prefix's copy) has
    // its prefix above where the link leads.
    const fs::path real = fs::weakly_canonical(written, error);
    if (error || real == written) return std::nullopt;
    return FirstPrefixFrom(real);
}

std::optional<char> DriveLetterOf(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') return std::nullopt;
    const char letter = path[0];
    if (letter >= 'A' && letter <= 'Z') return static_cast<char>(letter - 'A' + 'a');
    if (letter >= 'a' && letter <= 'z') return letter;
    return std::nullopt;
}

std::optional<fs::path> DriveFolder(const fs::path& prefix, char letter) {
    const std::optional<char> drive = DriveLetterOf(std::string{letter, ':'});
    if (!drive) return std::nullopt;
    std::error_code error;
    const fs::path devices = prefix / "dosdevices";
    if (const auto link = FindEntryNoCase(devices, std::string{*drive, ':'})) {
        fs::path target = *link;
        if (fs::is_symlink(*link, error)) {
            const fs::path to = fs::read_symlink(*link, error);
            // Named as Wine names it (prefix/drive_c), not through the link.
            if (!error) target = to.is_absolute() ? to.lexically_normal() : (devices / to).lexically_normal();
        }
        if (fs::is_directory(target, error)) return target;
    }
    if (*drive == 'c' && fs::is_directory(prefix / "drive_c", error)) return prefix / "drive_c";
    return std::nullopt;
}

std::optional<fs::path> ResolveDrivePath(const fs::path& prefix, std::string_view windowsPath) {
    const std::optional<char> letter = DriveLetterOf(windowsPath);
    if (!letter) return std::nullopt;
    const std::optional<fs::path> root = DriveFolder(prefix, *letter);
    if (!root) return std::nullopt;
    return ResolveNoCase(*root, windowsPath.substr(2));
}

}  // namespace tarnwick
