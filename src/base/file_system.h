#pragma once
// File access for folders copied from Windows, where names are case-insensitive,
// and whole-file writes that never leave a half-written file behind.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class FileError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// The entry of `folder` named `name`: the exact name if it exists, otherwise the
// first entry whose name matches ignoring case as Windows does, for the
// letters of Windows-1252 (in sorted order, so the choice is the same on
// every machine). Names are UTF-8. Empty when there is none.
std::optional<std::filesystem::path> FindEntryNoCase(const std::filesystem::path& folder,
                                                     std::string_view name);

// Removes every entry of `folder` that FindEntryNoCase could take for `name`
// (folders excepted). False when the folder cannot be listed or one of
// them could not be removed.
bool RemoveEntriesNoCase(const std::filesystem::path& folder, std::string_view name);

// Resolves a relative path whose parts may be separated by '\' or '/', part by
// part, case-insensitively below `base`. Empty parts and "." are skipped.
std::optional<std::filesystem::path> ResolveNoCase(const std::filesystem::path& base,
                                                   std::string_view relative);

// Upper-cases ASCII letters only, as name comparisons on the simulator's disks do.
std::string UpperAscii(std::string_view text);

// Reads a whole file; throws FileError naming the file on failure.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes into a temporary file in the same folder and renames it over `path`.
// Throws FileError naming the file on failure; the old file is then untouched.
void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tarnwick
