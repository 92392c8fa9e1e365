// The simulator's magnetic declination file (scenery\magdec.bgl). Loading it
// must not crash, must leave the grid as it was whenever it refuses the file,
// and must fill the grid from exactly the bytes the file announces.
#include <sys/mman.h>
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "scenery/magdec_file.h"

namespace tarnwick::fuzz {
namespace {

// The input as a file the loader can open by name, kept in memory: nothing is
// left on disk, even when the target stops on a broken invariant.
class MemoryFile {
   public:
    MemoryFile() : fd_(memfd_create("magdec.bgl", 0)) { Require(fd_ >= 0, "a memory file can be made"); }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

    void Hold(const std::uint8_t* data, std::size_t size) {
        Require(ftruncate(fd_, 0) == 0, "the memory file can be emptied");
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
            Require(n > 0, "the memory file takes the input");
            written += static_cast<std::size_t>(n);
        }
    }

   private:
    int fd_;
};

std::int32_t I32At(const std::uint8_t* data, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(data[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::int16_t I16At(const std::uint8_t* data, std::size_t offset) {
    return static_cast<std::int16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace
}  // namespace tarnwick::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    static MemoryFile file;
    file.Hold(data, size);

    // A grid loaded before, which a refused file must not touch.
    auto grid = std::make_unique<DeclinationGrid>();
    for (std::size_t i = 0; i < grid->Cells.size(); ++i) grid->Cells[i] = static_cast<std::int16_t>(i * 7);
    const auto before = std::make_unique<DeclinationGrid>(*grid);

    const DeclinationLoadResult result = LoadDeclination(file.Path(), *grid);
    Require(result.Ok == result.Problem.empty(), "a refused file is explained, an accepted one is not");
    if (!result.Ok) {
        Require(grid->Cells == before->Cells, "a refused file leaves the grid as it was");
        return 0;
    }
    Require(size >= static_cast<std::size_t>(kMagdecOffsetField) + 4, "an accepted file holds the offset");
    const std::int32_t section = I32At(data, kMagdecOffsetField);
    if (section <= 0) {
        Require(grid->Cells == before->Cells, "a file without a grid leaves the grid as it was");
        return 0;
    }
    const std::size_t first = static_cast<std::size_t>(section) + kMagdecGridSkip;
    Require(first + kMagdecGridBytes <= size, "an accepted grid lies inside the file");
    for (std::size_t cell = 0; cell < static_cast<std::size_t>(DeclinationGrid::kCellCount); ++cell)
        Require(grid->Cells[cell] == I16At(data, first + 2 * cell), "each cell holds the file's value");
    Require(grid->Cells.back() == before->Cells.back(), "the spare cell is not part of the file");
    return 0;
}
