#pragma once
// atc_settings.tcs: one packed record naming the simulator folder and the
// number of entries in each database file.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

inline constexpr const char* kSettingsFileName = "atc_settings.tcs";
// The text every settings file begins with, which a start checks before it
// trusts the file. Part of the file's format, not the program's version: it
// keeps these bytes whatever project(VERSION) says.
inline constexpr const char* kSettingsFileTitle = "Tarnwick Version 2.0";

struct SettingsRecord {
    std::string ProgramTitle;
    std::uint8_t SetupDone = 0;
    std::uint8_t FsVersion = 0;
    std::string FsFolder;  // ANSI bytes, exactly as the user entered it
    std::int32_t AirportCount = 0;
    std::int32_t AirspaceCount = 0;
    bool operator==(const SettingsRecord&) const = default;
};

struct SettingsReadResult {
    SettingsRecord Record;
    // False when the file ended inside the record: the fields past the end
    // read as empty text or zero.
    bool Complete = true;
    // Why the file cannot be trusted, empty when it can: it ends inside the
    // record, or it holds a record setup never writes (another title, no
    // setup mark, an unknown simulator version, a negative count).
    std::string Problem;
};

std::vector<std::uint8_t> EncodeSettings(const SettingsRecord& record);
SettingsReadResult DecodeSettings(std::span<const std::uint8_t> bytes);

// Throws FileError when the file cannot be read.
SettingsReadResult ReadSettingsFile(const std::filesystem::path& path);

// Writes the record over the start of the file. As with a positioned write,
// bytes of an older, longer file beyond the new record are kept. The file is
// replaced through a temporary file; throws FileError on failure.
void WriteSettingsFile(const std::filesystem::path& path, const SettingsRecord& record);

}  // namespace tarnwick
