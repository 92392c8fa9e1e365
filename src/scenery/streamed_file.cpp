#include "scenery/streamed_file.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <string>

#include "base/file_system.h"

namespace tarnwick {

namespace fs = std::filesystem;

StreamedFile::StreamedFile(fs::path finalPath) : finalPath_(std::move(finalPath)) {
    temporaryPath_ = finalPath_;
    temporaryPath_ += ".part";
    file_ = std::fopen(temporaryPath_.c_str(), "wb");
    if (!file_) throw FileError("cannot create " + temporaryPath_.string() + ": " + std::strerror(errno));
}

StreamedFile::~StreamedFile() { Discard(); }

void StreamedFile::Append(std::span<const std::uint8_t> bytes) {
    if (!file_) throw FileError("cannot write " + finalPath_.string() + ": the file is closed");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw FileError("cannot write " + finalPath_.string() + ": " + std::strerror(errno));
    }
}

void StreamedFile::Commit() {
    if (!file_) throw FileError("cannot write " + finalPath_.string() + ": the file is closed");
    const bool flushed = std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
    const int savedErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        std::remove(temporaryPath_.c_str());
        throw FileError("cannot write " + finalPath_.string() + ": " +
                        std::strerror(flushed ? errno : savedErrno));
    }
    std::error_code error;
    fs::rename(temporaryPath_, finalPath_, error);
    if (error) {
        std::remove(temporaryPath_.c_str());
        throw FileError("cannot replace " + finalPath_.string() + ": " + error.message());
    }
    temporaryPath_.clear();
}

void StreamedFile::Discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        std::remove(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace tarnwick
