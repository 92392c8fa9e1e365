#pragma once
// Small FS2002 folders for build tests, laid out byte by byte: the scenery
// files hold one directory block of airports with a reference point and an
// identifier each, which is all the build needs to tell files apart.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::testing {

struct FixtureAirport {
    std::string Name;
    std::string Icao;
    double Lat = 0;
    double Lon = 0;
};

// A scenery file with the marker at 118 holding the given airports.
std::vector<std::uint8_t> AirportFileBytes(const std::vector<FixtureAirport>& airports);

// A .bgl file without the scenery marker (terrain and the like).
std::vector<std::uint8_t> NonSceneryBytes(std::size_t size = 4096);

// A declination file whose grid holds `value` (360/65536 degree units) everywhere.
std::vector<std::uint8_t> UniformMagdecBytes(std::int16_t value);

// Writes FS2002.EXE, SCENERY.CFG with `config` and Scenery/magdec.bgl into `root`.
void WriteFsFolder(const std::filesystem::path& root, const std::string& config);

// Writes `bytes` to root/relative, creating the folders above it.
void WriteFile(const std::filesystem::path& root, const std::string& relative,
               const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

}  // namespace tarnwick::testing
