#pragma once
// Writes the parts every generated simulator folder has: the files, the
// scenery configuration and the declination file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::mkscenery {

class FolderWriter {
   public:
    explicit FolderWriter(std::filesystem::path root) : root_(std::move(root)) {}

    // Writes root / relative ('/'-separated), creating folders; throws FileError.
    void Write(const std::string& relative, const std::vector<std::uint8_t>& bytes);
    void WriteText(const std::string& relative, const std::string& text);
    void MakeFolder(const std::string& relative);

    const std::filesystem::path& Root() const { return root_; }
    std::size_t FilesWritten() const { return files_; }
    std::uintmax_t BytesWritten() const { return bytes_; }

   private:
    std::filesystem::path root_;
    std::size_t files_ = 0;
    std::uintmax_t bytes_ = 0;
};

struct ConfigArea {
    std::string Title;
    std::string Local;  // as written in the file: relative, '\'-separated, any case
    bool Active = true;
    bool Required = false;
};

// scenery.cfg text with CR LF line ends, a [General] section and one
// [Area.nnn] section per area, numbered in order.
std::string SceneryConfigText(const std::vector<ConfigArea>& areas);

// Writes the empty FS2002.EXE, SCENERY.CFG and Scenery/magdec.bgl computed
// from the magnetic model in `dataDir` for 1 January 2026, so that the output
// is the same on every run.
void WriteFolderBasics(FolderWriter& out, const std::vector<ConfigArea>& areas,
                       const std::filesystem::path& dataDir);

}  // namespace tarnwick::mkscenery
