#include "scenery/scenery_buffer.h"

#include "base/file_system.h"

namespace tarnwick {

SceneryReadError::SceneryReadError(const std::string& file, std::int64_t offset, std::int64_t width)
    : std::runtime_error(file + ": a read of " + std::to_string(width) + " bytes at offset " +
                         std::to_string(offset) + " lies outside the file"),
      offset_(offset) {}

SceneryBuffer SceneryBuffer::Load(const std::filesystem::path& path) {
    return SceneryBuffer(ReadWholeFile(path), path.string());
}

void SceneryBuffer::Check(std::int64_t offset, std::int64_t width) const {
    if (!Holds(offset, width)) throw SceneryReadError(fileName_, offset, width);
}

std::int32_t SceneryBuffer::ReadI32(std::int64_t offset) const {
    Check(offset, 4);
    const auto p = static_cast<std::size_t>(offset);
    const std::uint32_t value =
        static_cast<std::uint32_t>(bytes_[p]) | (static_cast<std::uint32_t>(bytes_[p + 1]) << 8) |
        (static_cast<std::uint32_t>(bytes_[p + 2]) << 16) | (static_cast<std::uint32_t>(bytes_[p + 3]) << 24);
    return static_cast<std::int32_t>(value);
}

std::int16_t SceneryBuffer::ReadI16(std::int64_t offset) const {
    Check(offset, 2);
    const auto p = static_cast<std::size_t>(offset);
    return static_cast<std::int16_t>(bytes_[p] | (bytes_[p + 1] << 8));
}

std::uint8_t SceneryBuffer::ReadU8(std::int64_t offset) const {
    Check(offset, 1);
    return bytes_[static_cast<std::size_t>(offset)];
}

std::string SceneryBuffer::ReadText(std::int64_t offset, std::int64_t length) const {
    if (length <= 0) return {};
    Check(offset, length);
    std::string text;
    const auto begin = bytes_.begin() + offset;
    for (auto it = begin; it != begin + length; ++it) {
        if (*it != 0) text.push_back(static_cast<char>(*it));
    }
    return text;
}

}  // namespace tarnwick
