#pragma once
// The simulator's scenery.cfg: which scenery areas exist and where their files
// live. The reading keeps the simulator-era quirks that decide which areas are
// found (plain substring key matches, untrimmed values, areas in file order);
// the folders are resolved case-insensitively, as the folder was copied from
// Windows.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct SceneryArea {
    // Raw value texts (ANSI) of the keys of the same name; empty when absent.
    std::string Title, TextureId, Active, Layer, Required, Remote;
    // After ResolveAreaFolders: the full folder as lower-cased text, used to
    // tell areas apart, or empty when the area is skipped.
    std::string Local;
    // The real folder on disk behind `Local`; files are opened through it.
    std::filesystem::path LocalPath;
    bool operator==(const SceneryArea&) const = default;
};

// Slots 0..AreaCount, the last one empty, as every table of the program.
struct SceneryAreaTable {
    std::vector<SceneryArea> Areas = std::vector<SceneryArea>(1);
    std::int16_t AreaCount = 0;
};

// Lower-cases Windows-1252 text byte for byte, accented capitals included, as
// the simulator's own tools compared names.
std::string LCaseAnsi(std::string_view text);

// Reads the areas of a scenery.cfg text (ANSI bytes). Lines may end in CR LF,
// CR or LF. Throws FileError when the file holds more areas than a 16-bit
// count allows, or when repeated header texts make the area sections overlap
// so often that together they span the file more than a few times over.
SceneryAreaTable ParseSceneryConfig(std::string_view text);

// Reads the file; throws FileError naming it when it is missing or unreadable.
SceneryAreaTable ReadSceneryConfig(const std::filesystem::path& file);

// The value of `key` in one section's text: the text after the first
// case-insensitive occurrence of key + "=" up to the end of its line (a CR or
// an LF), not trimmed. Empty when the key does not occur.
std::string GetKeyValue(std::string_view sectionText, std::string_view key);

// An area the scan passes over, as the user is told of it.
struct SkippedArea {
    std::string Title;   // ANSI, as in the configuration
    std::string Folder;  // ANSI: the Local value as written, empty when none is given
    std::string Reason;  // UTF-8: why no folder was found
    bool operator==(const SkippedArea&) const = default;
};

// Turns every area's Local into its full scenery folder, or empties it when no
// such folder exists, and names the areas so emptied in file order. Folders
// are tried against `baseFolder` (the current directory) first, then below
// `fsFolder` (ANSI, as stored in the settings). A folder that starts with a
// drive letter (C:\Addons\..., as add-on installers write them) is then
// resolved through the Wine prefix that holds the simulator's folder, where
// Windows programs would find it; its Local stays the lower-cased drive path.
std::vector<SkippedArea> ResolveAreaFolders(SceneryAreaTable& table, const std::string& fsFolder,
                                            const std::filesystem::path& baseFolder);

// A path written as ANSI text with '\' or '/' separators, resolved part by part
// against the real directory entries (exact name first, then ignoring case).
// Absolute when it starts with a separator, otherwise below `baseFolder`.
// Empty when some part does not exist.
std::optional<std::filesystem::path> ResolveFolderText(std::string_view ansiText,
                                                       const std::filesystem::path& baseFolder);

// The same path when it cannot be resolved, for messages that name it.
std::filesystem::path UnresolvedFolderText(std::string_view ansiText,
                                           const std::filesystem::path& baseFolder);

// FsFolder + "\scenery.cfg", resolved when it exists.
std::filesystem::path SceneryConfigPathFor(const std::string& fsFolder,
                                           const std::filesystem::path& baseFolder);

// The names of the *.bgl files of `folder` (the extension in any case, regular
// files only), ordered as the simulator's disks list them: by upper-cased name,
// byte for byte. Empty when the folder cannot be listed.
std::vector<std::string> ListSceneryFiles(const std::filesystem::path& folder);

}  // namespace tarnwick
