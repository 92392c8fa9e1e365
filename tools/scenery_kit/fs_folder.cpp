#include "scenery_kit/fs_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_system.h"
#include "scenery/magdec_file.h"
#include "scenery_kit/magdec_writer.h"
#include "scenery_kit/world_magnetic_model.h"

namespace tarnwick::mkscenery {

namespace fs = std::filesystem;

void FolderWriter::MakeFolder(const std::string& relative) { fs::create_directories(root_ / relative); }

void FolderWriter::Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw FileError("cannot create " + path.string() + ": " + std::strerror(errno));
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) throw FileError("cannot write " + path.string() + ": " + std::strerror(errno));
    ++files_;
    bytes_ += bytes.size();
}

void FolderWriter::WriteText(const std::string& relative, const std::string& text) {
    Write(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string SceneryConfigText(const std::vector<ConfigArea>& areas) {
    std::string text;
    const auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line("[General]");
    line("Title=FS2002 World Scenery");
    line("Description=FS2002 Scenery Data");
    line("Clean_on_Exit=TRUE");
    for (std::size_t i = 0; i < areas.size(); ++i) {
        char header[32];
        std::snprintf(header, sizeof header, "[Area.%03zu]", i + 1);
        line("");
        line(header);
        line("Title=" + areas[i].Title);
        line("Texture_ID=" + std::to_string(i + 1));
        line("Local=" + areas[i].Local);
        line("Layer=" + std::to_string(i + 1));
        line(std::string("Active=") + (areas[i].Active ? "TRUE" : "FALSE"));
        line(std::string("Required=") + (areas[i].Required ? "TRUE" : "FALSE"));
    }
    return text;
}

void WriteFolderBasics(FolderWriter& out, const std::vector<ConfigArea>& areas, const fs::path& dataDir) {
    out.Write("FS2002.EXE", {});
    out.WriteText("SCENERY.CFG", SceneryConfigText(areas));
    const auto model = geo::WorldMagneticModel::Load(dataDir / "WMM2025.COF");
    const DeclinationGrid grid = geo::DeclinationGridFor(model, geo::DecimalYear(2026, 1, 1));
    out.Write("Scenery/magdec.bgl", MagdecFileBytes(grid));
}

}  // namespace tarnwick::mkscenery
