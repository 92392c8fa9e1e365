#pragma once
// A file written piece by piece under a temporary name beside its final one
// and renamed over it only when complete, so that a build never leaves half a
// database under the real name and never has to hold a whole one in memory.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>

namespace tarnwick {

class StreamedFile {
   public:
    // Creates (or empties) the temporary file; throws FileError.
    explicit StreamedFile(std::filesystem::path finalPath);
    // An uncommitted file is removed.
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    // Throws FileError naming the final file.
    void Append(std::span<const std::uint8_t> bytes);
    // Flushes to disk and renames over the final name; throws FileError.
    void Commit();
    // Removes the temporary file; nothing is renamed.
    void Discard();

    const std::filesystem::path& FinalPath() const { return finalPath_; }

   private:
    std::filesystem::path finalPath_;
    std::filesystem::path temporaryPath_;
    std::FILE* file_ = nullptr;
};

}  // namespace tarnwick
