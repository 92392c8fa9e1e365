#pragma once
// world_airports.dat and world_airspaces.dat: headerless concatenations of
// records; the number of entries comes from the settings file.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "state/records.h"

namespace tarnwick {

inline constexpr const char* kAirportsFileName = "world_airports.dat";
inline constexpr const char* kAirspacesFileName = "world_airspaces.dat";

template <typename Record>
struct DatabaseReadResult {
    // The entries read, always followed by one empty slot. When the file ends
    // early the reading stops there: the entry it was in keeps the fields read
    // so far and no further entries are invented, so memory stays bounded by
    // the file's size whatever count the settings announce.
    std::vector<Record> Entries;
    bool Damaged = false;
    std::string Problem;  // what was wrong, for the user; empty when not damaged

    std::int32_t Count() const { return static_cast<std::int32_t>(Entries.size()) - 1; }
};

std::vector<std::uint8_t> EncodeAirports(std::span<const AirportRecord> table);
std::vector<std::uint8_t> EncodeAirspaces(std::span<const AirspaceRecord> table);

// `count` is the number of real entries; count + 1 entries are read.
DatabaseReadResult<AirportRecord> DecodeAirports(std::span<const std::uint8_t> bytes, std::int32_t count);
DatabaseReadResult<AirspaceRecord> DecodeAirspaces(std::span<const std::uint8_t> bytes, std::int32_t count);

// Whole-table writes through a temporary file; throw FileError on failure.
void WriteAirportDatabase(const std::filesystem::path& path, std::span<const AirportRecord> table);
void WriteAirspaceDatabase(const std::filesystem::path& path, std::span<const AirspaceRecord> table);

// A file that cannot be opened is reported as damaged with no entries read.
DatabaseReadResult<AirportRecord> ReadAirportDatabase(const std::filesystem::path& path, std::int32_t count);
DatabaseReadResult<AirspaceRecord> ReadAirspaceDatabase(const std::filesystem::path& path,
                                                        std::int32_t count);

}  // namespace tarnwick
