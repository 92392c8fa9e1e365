#pragma once
// Where a recording's lines go: a file in the program, anything in tests.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tarnwick {

class RecordingSink {
   public:
    virtual ~RecordingSink() = default;
    // Adds the line and its line end. A failure throws RecordingError with
    // the reason, and the sink takes nothing more.
    virtual void Write(std::string_view line) = 0;
    // Hands what was written to the system, so that a crash loses none of it.
    virtual void Flush() = 0;
    // Bytes written so far.
    virtual std::uint64_t Size() const = 0;
};

struct Recording;

// Writes a whole recording, header first, and flushes it.
void WriteRecording(const Recording& recording, RecordingSink& sink);

// Creates or empties the file; RecordingError when it cannot be opened.
std::unique_ptr<RecordingSink> OpenRecordingFile(const std::filesystem::path& path);

}  // namespace tarnwick
