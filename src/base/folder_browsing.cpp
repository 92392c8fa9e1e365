#include "base/folder_browsing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "base/file_system.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

// /proc/mounts writes blanks and a few other bytes as \ooo.
std::string DecodeOctalEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() &&
            std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        text.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            out.push_back(static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) |
                                            (text[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool IsSystemMount(const std::string& root, const std::string& type) {
    static const std::array<std::string_view, 22> kPseudo = {
        "proc",       "sysfs",    "devtmpfs", "devpts",         "cgroup",  "cgroup2",
        "securityfs", "pstore",   "bpf",      "debugfs",        "tracefs", "mqueue",
        "hugetlbfs",  "configfs", "fusectl",  "binfmt_misc",    "autofs",  "efivarfs",
        "rpc_pipefs", "nsfs",     "ramfs",    "fuse.gvfsd-fuse"};
    if (std::find(kPseudo.begin(), kPseudo.end(), type) != kPseudo.end()) return true;
    for (std::string_view system : {"/proc", "/sys", "/dev", "/run", "/boot"}) {
        if (root == system ||
            (root.size() > system.size() && root.starts_with(system) && root[system.size()] == '/')) {
            return true;
        }
    }
    return false;
}

// udev writes blanks and other bytes of a label as \xHH.
std::string DecodeHexEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

std::vector<MountedVolume> ParseMounts(std::string_view procMounts,
                                       const std::vector<std::pair<std::string, std::string>>& labels) {
    std::map<std::string, MountedVolume> byRoot;
    std::istringstream lines{std::string(procMounts)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source, root, type;
        if (!(fields >> source >> root >> type)) continue;
        source = DecodeOctalEscapes(source);
        root = DecodeOctalEscapes(root);
        if (root.empty() || root.front() != '/' || IsSystemMount(root, type)) continue;
        std::string name = source;
        for (const auto& [device, label] : labels) {
            if (device == source) name = label;
        }
        byRoot[root] = MountedVolume{root, name};
    }
    std::vector<MountedVolume> volumes;
    volumes.reserve(byRoot.size());
    for (auto& entry : byRoot) volumes.push_back(std::move(entry.second));
    return volumes;
}

std::vector<MountedVolume> ListMountedVolumes() {
    std::vector<std::pair<std::string, std::string>> labels;
    std::error_code error;
    for (fs::directory_iterator it("/dev/disk/by-label", error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const fs::path device = fs::canonical(it->path(), linkError);
        if (!linkError)
            labels.emplace_back(device.string(), DecodeHexEscapes(it->path().filename().string()));
    }
    std::ifstream in("/proc/mounts");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<MountedVolume> volumes = ParseMounts(text.str(), labels);
    if (volumes.empty() || volumes.front().Root != "/")
        volumes.insert(volumes.begin(), MountedVolume{"/", "/"});
    return volumes;
}

std::size_t VolumeHolding(const std::vector<MountedVolume>& volumes, const fs::path& path) {
    const std::string text = path.lexically_normal().string();
    std::size_t best = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& root = volumes[i].Root;
        const bool holds =
            root == "/" || text == root || (text.starts_with(root) && text[root.size()] == '/');
        if (holds && root.size() >= bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

std::vector<std::string> ListSubfolders(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (fs::is_directory(it->status(statusError))) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string upperA = UpperAscii(a), upperB = UpperAscii(b);
        return upperA != upperB ? upperA < upperB : a < b;
    });
    return names;
}

}  // namespace tarnwick
