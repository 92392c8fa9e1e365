#include "multiplayer/record/recording_sink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "multiplayer/record/recording_format.h"

namespace tarnwick {
namespace {

class RecordingFile final : public RecordingSink {
   public:
    RecordingFile(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    ~RecordingFile() override {
        // What a failed write left in the buffer is given up with the file.
        if (file_) std::fclose(file_);
    }

    void Write(std::string_view line) override {
        Check(std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
              std::fputc('\n', file_) != EOF);
        size_ += line.size() + 1;
    }
    void Flush() override { Check(std::fflush(file_) == 0); }
    std::uint64_t Size() const override { return size_; }

   private:
    void Check(bool written) {
        if (!file_) throw RecordingError("the recording file is closed");
        if (written && !std::ferror(file_)) return;
        const int error = errno;
        std::fclose(file_);
        file_ = nullptr;
        throw RecordingError("writing " + name_ + " failed: " + std::strerror(error));
    }

    std::FILE* file_;
    std::string name_;
    std::uint64_t size_ = 0;
};

}  // namespace

void WriteRecording(const Recording& recording, RecordingSink& sink) {
    sink.Write(FormatRecordingHeader(recording.Header));
    for (const RecordingLine& line : recording.Lines) sink.Write(FormatRecordingLine(line));
    sink.Flush();
}

std::unique_ptr<RecordingSink> OpenRecordingFile(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw RecordingError("cannot create " + path.string() + ": " + std::strerror(errno));
    return std::make_unique<RecordingFile>(file, path.string());
}

}  // namespace tarnwick
