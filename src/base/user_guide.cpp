#include "base/user_guide.h"

#include <system_error>

namespace tarnwick {

namespace fs = std::filesystem;

fs::path UserGuidePath(const fs::path& executableFolder) {
    return executableFolder.parent_path() / "share" / "doc" / "tarnwick" / "user-guide.md";
}

fs::path FindUserGuide(const fs::path& executableFolder) {
    if (executableFolder.empty()) return {};
    const fs::path guide = UserGuidePath(executableFolder);
    std::error_code error;
    return fs::is_regular_file(guide, error) ? guide : fs::path();
}

std::string UserGuideMissingMessage(const fs::path& lookedFor) {
    return "The user's guide is not installed with this program (it was looked for as " + lookedFor.string() +
           "). Read it in Tarnwick's source as docs/user-guide.md, or, with the package installed, as "
           "/usr/share/doc/tarnwick/user-guide.md.";
}

}  // namespace tarnwick
