#include "multiplayer/directplay/frame_reassembler.h"

namespace tarnwick::directplay {

std::size_t FrameReassembler::MessageSize(std::span<const std::uint8_t> bytes) {
    if (!error_.empty() || bytes.size() < kSpHeaderSize) return 0;
    try {
        const SpHeader header = ReadSpHeader(bytes.first(kSpHeaderSize));
        if (header.size > maxSize_) {
            error_ = "a message of " + std::to_string(header.size) + " bytes exceeds the limit of " +
                     std::to_string(maxSize_);
            return 0;
        }
        return header.size;
    } catch (const MalformedMessage& e) {
        error_ = e.what();
        return 0;
    }
}

}  // namespace tarnwick::directplay
