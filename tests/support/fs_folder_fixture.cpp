#include "support/fs_folder_fixture.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace tarnwick::testing {

namespace fs = std::filesystem;

namespace {

void PutI32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int64_t value) {
    if (bytes.size() < offset + 4) bytes.resize(offset + 4);
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void AppendI32(std::vector<std::uint8_t>& bytes, std::int64_t value) { PutI32(bytes, bytes.size(), value); }

void AppendText(std::vector<std::uint8_t>& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> AirportFileBytes(const std::vector<FixtureAirport>& airports) {
    constexpr std::size_t kSection = 200;
    std::vector<std::uint8_t> bytes(kSection, 0);
    PutI32(bytes, 118, 0x87654321);
    PutI32(bytes, 144, 1);
    PutI32(bytes, 156, kSection);
    PutI32(bytes, 164, 0);

    // Directory block: type, body length, N at +20 (the walk visits entries
    // 0..N), entries from +24; then a block of another type ends the chain.
    std::size_t entriesSize = 0;
    for (const auto& airport : airports) entriesSize += 16 + airport.Name.size();
    const std::size_t blockSize = 24 + entriesSize;
    std::size_t record = kSection + blockSize + 8;
    std::vector<std::size_t> recordOffsets;
    for (const auto& airport : airports) {
        recordOffsets.push_back(record);
        record += 16 + 32 + 8 + airport.Icao.size() + 8;
    }
    AppendI32(bytes, 0x30001);
    AppendI32(bytes, static_cast<std::int64_t>(blockSize) - 8);
    bytes.resize(kSection + 20);
    AppendI32(bytes, static_cast<std::int64_t>(airports.size()) - 1);
    for (std::size_t i = 0; i < airports.size(); ++i) {
        AppendI32(bytes, 0x30002);
        AppendI32(bytes, 8 + static_cast<std::int64_t>(airports[i].Name.size()));
        AppendI32(bytes, 0x50001);
        AppendI32(bytes, static_cast<std::int64_t>(recordOffsets[i]));
        AppendText(bytes, airports[i].Name);
    }
    AppendI32(bytes, 0);  // end of the directory chain
    AppendI32(bytes, 0);

    for (const auto& airport : airports) {
        AppendI32(bytes, 1);
        AppendI32(bytes, 0);
        AppendI32(bytes, 1);
        AppendI32(bytes, 0);
        AppendI32(bytes, 0x10001);  // reference point
        AppendI32(bytes, 24);
        AppendI32(bytes, 0);
        AppendI32(bytes, std::llround(airport.Lat * 10001750.0 / 90.0));
        AppendI32(bytes, 0);
        AppendI32(bytes, std::llround(airport.Lon * 4294967297.0 / 360.0));
        AppendI32(bytes, 0);
        AppendI32(bytes, 30);       // metres
        AppendI32(bytes, 0x10006);  // identifier
        AppendI32(bytes, static_cast<std::int64_t>(airport.Icao.size()));
        AppendText(bytes, airport.Icao);
        AppendI32(bytes, 0);  // end of the airport's sub-records
        AppendI32(bytes, 0);
    }
    return bytes;
}

std::vector<std::uint8_t> NonSceneryBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

std::vector<std::uint8_t> UniformMagdecBytes(std::int16_t value) {
    constexpr std::size_t kSection = 128;
    std::vector<std::uint8_t> bytes(kSection + 8 + 2 * 65160, 0);
    PutI32(bytes, 110, kSection);
    for (std::size_t i = 0; i < 65160; ++i) {
        bytes[kSection + 8 + 2 * i] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[kSection + 8 + 2 * i + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    return bytes;
}

void WriteFile(const fs::path& root, const std::string& relative, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = root / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteFsFolder(const fs::path& root, const std::string& config) {
    WriteFile(root, "FS2002.EXE", {});
    WriteFile(root, "SCENERY.CFG", std::vector<std::uint8_t>(config.begin(), config.end()));
    WriteFile(root, "Scenery/magdec.bgl", UniformMagdecBytes(1820));
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tarnwick::testing
