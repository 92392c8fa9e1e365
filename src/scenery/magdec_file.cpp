#include "scenery/magdec_file.h"

#include <system_error>

#include "base/file_system.h"
#include "scenery/scenery_config.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

std::string Describe(const fs::path& file) { return "The magnetic declination file " + file.string(); }

std::int64_t GridEnd(std::int64_t sectionOffset) {
    return sectionOffset + kMagdecGridSkip + kMagdecGridBytes;
}

}  // namespace

fs::path MagdecPathFor(const std::string& fsFolder, const fs::path& baseFolder) {
    const fs::path base =
        ResolveFolderText(fsFolder, baseFolder).value_or(UnresolvedFolderText(fsFolder, baseFolder));
    const fs::path scenery = FindEntryNoCase(base, "scenery").value_or(base / "scenery");
    return FindEntryNoCase(scenery, "magdec.bgl").value_or(scenery / "magdec.bgl");
}

DeclinationLoadResult LoadDeclination(const fs::path& file, DeclinationGrid& grid) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) return {false, Describe(file) + " is missing."};
    if (!fs::is_regular_file(status)) return {false, Describe(file) + " is not a file."};

    SceneryBuffer buffer;
    try {
        buffer = SceneryBuffer::Load(file);
    } catch (const FileError& failure) {
        return {false, Describe(file) + " cannot be read (" + failure.what() + ")."};
    }

    const std::int64_t size = buffer.Size();
    if (size < kMagdecOffsetField + 4) {
        return {false, Describe(file) + " is too short (" + std::to_string(size) +
                           " bytes) to hold the declination section offset at byte 110."};
    }
    const std::int32_t section = buffer.ReadI32(kMagdecOffsetField);
    if (section <= 0) return {true, {}};  // no grid announced: headings stay uncorrected
    if (size < GridEnd(section)) {
        return {false, Describe(file) + " is too short (" + std::to_string(size) +
                           " bytes) for the declination grid it announces at offset " +
                           std::to_string(section) + " (" + std::to_string(GridEnd(section)) +
                           " bytes needed)."};
    }
    ReadDeclinationGrid(buffer, section, grid);
    return {true, {}};
}

void ReadDeclinationGrid(const SceneryBuffer& buffer, std::int32_t sectionOffset, DeclinationGrid& grid) {
    const std::int64_t first = static_cast<std::int64_t>(sectionOffset) + kMagdecGridSkip;
    // The whole grid must lie in the file itself, not in the spare byte after it,
    // so that nothing is half-read.
    if (first < 0 || buffer.Size() < GridEnd(sectionOffset)) {
        throw SceneryReadError(buffer.FileName(), first, kMagdecGridBytes);
    }
    for (int lon = 0; lon < DeclinationGrid::kLongitudes; ++lon) {
        for (int lat = -90; lat <= 90; ++lat) {
            const int cell = DeclinationGrid::IndexOf(lat, lon);
            grid.Cells[static_cast<std::size_t>(cell)] =
                buffer.ReadI16(first + 2 * static_cast<std::int64_t>(cell));
        }
    }
}

}  // namespace tarnwick
