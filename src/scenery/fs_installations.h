#pragma once
// Finding FS2002 on this computer: on Linux it lives in a Wine prefix, in one
// of the places Wine and the programs that manage prefixes (winetricks,
// Bottles, Lutris, PlayOnLinux, CrossOver, Steam's Proton) keep them. In each
// prefix the registry may name the simulator's folder; otherwise drive_c is
// searched, a few folders deep. The search runs in steps of a bounded number
// of folder entries, so a window can run it between its events.
#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Where to look: the user's home and $WINEPREFIX. Passed in, never read from
// the environment here, so that tests search a home of their own.
struct InstallationPlaces {
    std::filesystem::path Home;        // empty: no home to look in
    std::filesystem::path WinePrefix;  // empty when $WINEPREFIX is not set
};

// HOME and WINEPREFIX of this process.
InstallationPlaces InstallationPlacesFromEnvironment();

// The prefixes of `places` in the order they are searched: $WINEPREFIX,
// ~/.wine, then the folders of ~/.local/share/wineprefixes, Bottles' bottles
// (native and Flatpak), ~/Games (Lutris), ~/.PlayOnLinux/wineprefix,
// ~/.cxoffice and every Steam compatdata/*/pfx, each by name. Only folders
// that are prefixes, each once however it is reached.
std::vector<std::filesystem::path> CandidatePrefixes(const InstallationPlaces& places);

enum class FoundBy { Registry, Search };

struct FsInstallation {
    std::filesystem::path Folder;  // holds FS2002.EXE
    std::filesystem::path Prefix;
    FoundBy How = FoundBy::Search;
    bool operator==(const FsInstallation&) const = default;
};

const char* FoundByName(FoundBy how);  // "registry" or "search"

// How deep below drive_c a folder holding FS2002.EXE is looked for
// (drive_c/Program Files/Microsoft Games/FS2002 is 3 deep).
inline constexpr int kInstallationSearchDepth = 5;
// How long a search may run before it stops with what it found.
inline constexpr int kInstallationSearchSeconds = 30;

// The search as a machine of small steps. Folders that cannot be read are
// passed over; links to folders are not followed (Wine links the user's
// Documents and Desktop into drive_c, which would take the search through the
// whole home).
class InstallationSearch {
   public:
    explicit InstallationSearch(const InstallationPlaces& places);
    explicit InstallationSearch(std::vector<std::filesystem::path> prefixes);

    // Goes on for about `entries` folder entries (a registry file read counts
    // as one per line); false once the search is over.
    bool Advance(std::size_t entries);
    bool Done() const { return next_ >= prefixes_.size(); }

    // What was found so far, each folder once, in the order found.
    const std::vector<FsInstallation>& Found() const { return found_; }
    std::size_t EntriesSeen() const { return entriesSeen_; }

   private:
    struct Pending {
        std::filesystem::path Folder;
        int Depth = 0;
    };
    std::size_t ReadRegistry(const std::filesystem::path& prefix);
    void LookAt(const std::filesystem::directory_entry& entry);
    void EndPrefix();
    void Add(const std::filesystem::path& folder, FoundBy how);

    std::vector<std::filesystem::path> prefixes_;
    std::size_t next_ = 0;
    bool started_ = false;  // the registry of prefixes_[next_] is read
    std::deque<Pending> pending_;
    // The folder being listed, and its listing.
    Pending listed_;
    std::optional<std::filesystem::directory_iterator> listing_;
    std::vector<FsInstallation> found_;
    std::vector<std::filesystem::path> foundReal_;  // their real paths, to list each once
    std::size_t entriesSeen_ = 0;
};

}  // namespace tarnwick
