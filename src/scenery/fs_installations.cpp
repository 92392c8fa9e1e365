#include "scenery/fs_installations.h"

#include <algorithm>
#include <cstdlib>

#include "base/file_system.h"
#include "scenery/fs_folder.h"
#include "scenery/wine_prefix.h"
#include "scenery/wine_registry.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

// Registry files beyond this are no prefix's own (a fresh one's system.reg is
// a few MB); reading one whole would hold up a step for too long.
constexpr std::uintmax_t kMaxRegistryBytes = 64u << 20;
// A registry read costs about as much as this many folder entries per byte.
constexpr std::size_t kRegistryBytesPerEntry = 64;

// The folders inside `folder`, by name, each once.
std::vector<fs::path> FoldersIn(const fs::path& folder) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (it->is_directory(statusError)) folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// True when `text` holds `lowerWord` ignoring the case of ASCII letters.
bool ContainsNoCase(std::string_view text, std::string_view lowerWord) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto found = std::search(text.begin(), text.end(), lowerWord.begin(), lowerWord.end(),
                                   [&](char a, char b) { return lower(a) == b; });
    return found != text.end();
}

// Keys an installer of the simulator writes its folder under: its own
// ("Microsoft Games\Flight Simulator\8.0"), DirectPlay's entry for it, its
// uninstall entry.
bool MayNameTheSimulator(std::string_view keyPath) {
    return ContainsNoCase(keyPath, "flight simulator") || ContainsNoCase(keyPath, "fs2002");
}

}  // namespace

InstallationPlaces InstallationPlacesFromEnvironment() {
    InstallationPlaces places;
    if (const char* home = std::getenv("HOME"); home && *home) places.Home = home;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) places.WinePrefix = prefix;
    return places;
}

std::vector<fs::path> CandidatePrefixes(const InstallationPlaces& places) {
    std::vector<fs::path> prefixes;
    std::vector<fs::path> seen;
    const auto add = [&](const fs::path& folder) {
        if (folder.empty() || !IsWinePrefix(folder)) return;
        std::error_code error;
        const fs::path real = fs::weakly_canonical(folder, error);
        if (std::find(seen.begin(), seen.end(), real) != seen.end()) return;
        seen.push_back(real);
        prefixes.push_back(folder);
    };
    const auto addEach = [&](const fs::path& folder, const fs::path& below = {}) {
        for (const fs::path& each : FoldersIn(folder)) add(below.empty() ? each : each / below);
    };

    add(places.WinePrefix);
    if (places.Home.empty()) return prefixes;
    const fs::path& home = places.Home;
    add(home / ".wine");
    addEach(home / ".local/share/wineprefixes");
    addEach(home / ".local/share/bottles/bottles");
    addEach(home / ".var/app/com.usebottles.bottles/data/bottles/bottles");
    addEach(home / "Games");
    addEach(home / ".PlayOnLinux/wineprefix");
    addEach(home / ".cxoffice");
    // ~/.steam/steam is mostly a link to the second; the real folder names
    // the prefix.
    for (const char* steam :
         {".local/share/Steam", ".steam/steam", ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        addEach(home / steam / "steamapps/compatdata", "pfx");
    }
    return prefixes;
}

const char* FoundByName(FoundBy how) { return how == FoundBy::Registry ? "registry" : "search"; }

InstallationSearch::InstallationSearch(const InstallationPlaces& places)
    : InstallationSearch(CandidatePrefixes(places)) {}

InstallationSearch::InstallationSearch(std::vector<fs::path> prefixes) : prefixes_(std::move(prefixes)) {}

void InstallationSearch::Add(const fs::path& folder, FoundBy how) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(folder, error);
    if (std::find(foundReal_.begin(), foundReal_.end(), real) != foundReal_.end()) return;
    foundReal_.push_back(real);
    found_.push_back({folder, prefixes_[next_], how});
}

// The folders the prefix's registry files name under the simulator's keys
// that hold it. Returns the cost in folder entries.
std::size_t InstallationSearch::ReadRegistry(const fs::path& prefix) {
    std::size_t cost = 1;
    for (const char* name : {"system.reg", "user.reg"}) {
        const fs::path file = prefix / name;
        std::error_code error;
        const std::uintmax_t size = fs::file_size(file, error);
        if (error || size > kMaxRegistryBytes) continue;
        std::vector<std::uint8_t> bytes;
        try {
            bytes = ReadWholeFile(file);
        } catch (const FileError&) {
            continue;
        }
        cost += bytes.size() / kRegistryBytesPerEntry;
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        for (const RegistryKey& key : ReadRegistryKeys(text, MayNameTheSimulator)) {
            for (const RegistryString& value : key.Strings) {
                if (!DriveLetterOf(value.Value)) continue;
                std::string folder = value.Value;
                // A value naming the program names its folder too.
                if (UpperAscii(folder).ends_with(".EXE")) {
                    const std::size_t cut = folder.find_last_of("\\/");
                    if (cut == std::string::npos) continue;
                    folder.resize(cut);
                }
                const std::optional<fs::path> found = ResolveDrivePath(prefix, folder);
                if (found && HoldsFs2002Exe(found->string(), "/")) Add(*found, FoundBy::Registry);
            }
        }
    }
    return cost;
}

void InstallationSearch::LookAt(const fs::directory_entry& entry) {
    std::error_code error;
    if (UpperAscii(entry.path().filename().string()) == "FS2002.EXE") {
        if (entry.is_regular_file(error)) Add(listed_.Folder, FoundBy::Search);
        return;
    }
    if (listed_.Depth < kInstallationSearchDepth && !entry.is_symlink(error) && entry.is_directory(error))
        pending_.push_back({entry.path(), listed_.Depth + 1});
}

void InstallationSearch::EndPrefix() {
    pending_.clear();
    listing_.reset();
    started_ = false;
    ++next_;
}

bool InstallationSearch::Advance(std::size_t entries) {
    std::size_t spent = 0;
    while (!Done() && spent < entries) {
        const fs::path& prefix = prefixes_[next_];
        if (!started_) {
            started_ = true;
            const std::size_t before = found_.size();
            spent += ReadRegistry(prefix);
            if (found_.size() > before) {
                EndPrefix();  // the registry named it: no need to search
            } else {
                pending_.push_back({prefix / "drive_c", 0});
            }
            continue;
        }
        if (!listing_) {
            if (pending_.empty()) {
                EndPrefix();
                continue;
            }
            listed_ = std::move(pending_.front());
            pending_.pop_front();
            std::error_code error;
            fs::directory_iterator listing(listed_.Folder, error);
            ++spent;
            ++entriesSeen_;
            if (!error) listing_ = std::move(listing);
            continue;
        }
        std::error_code error;
        if (*listing_ == fs::directory_iterator()) {
            listing_.reset();
            continue;
        }
        LookAt(**listing_);
        ++spent;
        ++entriesSeen_;
        listing_->increment(error);
        if (error) listing_.reset();  // the rest of an unreadable folder is passed over
    }
    return !Done();
}

}  // namespace tarnwick
