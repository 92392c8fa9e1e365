#pragma once
// A whole scenery or declination file in memory, decoded field by field at
// 0-based offsets. Like the buffer the simulator files were always read into,
// it spans the file plus one spare zero byte. Every read is checked: a field
// outside that span throws SceneryReadError naming the file and the offset.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

class SceneryReadError : public std::runtime_error {
   public:
    SceneryReadError(const std::string& file, std::int64_t offset, std::int64_t width);
    std::int64_t Offset() const { return offset_; }

   private:
    std::int64_t offset_;
};

class SceneryBuffer {
   public:
    SceneryBuffer() = default;
    // `bytes` are the file's bytes; the spare zero byte is added here.
    SceneryBuffer(std::vector<std::uint8_t> bytes, std::string fileName)
        : bytes_(std::move(bytes)), fileName_(std::move(fileName)) {
        bytes_.push_back(0);
    }

    // Throws FileError when the file cannot be read.
    static SceneryBuffer Load(const std::filesystem::path& path);

    std::int32_t ReadI32(std::int64_t offset) const;
    std::int16_t ReadI16(std::int64_t offset) const;
    std::uint8_t ReadU8(std::int64_t offset) const;
    // Every non-zero byte of the n-byte field, in order (zeros do not end it).
    std::string ReadText(std::int64_t offset, std::int64_t length) const;

    // True when [offset, offset + width) lies inside the buffer (file + spare byte).
    bool Holds(std::int64_t offset, std::int64_t width) const {
        const auto span = static_cast<std::int64_t>(bytes_.size());
        return offset >= 0 && width >= 0 && offset <= span && width <= span - offset;
    }
    // The file's length (without the spare byte).
    std::int64_t Size() const { return bytes_.empty() ? 0 : static_cast<std::int64_t>(bytes_.size()) - 1; }
    const std::string& FileName() const { return fileName_; }

   private:
    void Check(std::int64_t offset, std::int64_t width) const;

    std::vector<std::uint8_t> bytes_;
    std::string fileName_;
};

}  // namespace tarnwick
