#pragma once
// Cuts a TCP byte stream into whole messages by the size in each message's
// service provider header. Reads may hold several messages or stop anywhere
// inside one. A header that cannot be trusted (an unknown token, a size below
// the header's own 20 bytes or above the limit) leaves no way to find the next
// message, so the stream is declared corrupt and the connection must close.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "multiplayer/directplay/frame.h"

namespace tarnwick::directplay {

class FrameReassembler {
   public:
    explicit FrameReassembler(std::size_t max_message_size = kMaxMessageSize) : maxSize_(max_message_size) {}

    // Calls on_message(std::span<const std::uint8_t>) for every message that
    // completes, in order. Returns false once the stream is corrupt; Error()
    // then says why and nothing more is taken.
    template <typename OnMessage>
    bool Feed(std::span<const std::uint8_t> bytes, OnMessage&& on_message) {
        if (!error_.empty()) return false;
        if (pending_.empty()) {
            // Whole messages straight from the read; only a tail is copied.
            std::size_t used = 0;
            while (true) {
                const auto rest = bytes.subspan(used);
                const std::size_t size = MessageSize(rest);
                if (size == 0 || rest.size() < size) break;
                on_message(rest.first(size));
                used += size;
            }
            if (!error_.empty()) return false;
            pending_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(used), bytes.end());
            return true;
        }
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        std::size_t used = 0;
        while (true) {
            const auto rest = std::span<const std::uint8_t>(pending_).subspan(used);
            const std::size_t size = MessageSize(rest);
            if (size == 0 || rest.size() < size) break;
            on_message(rest.first(size));
            used += size;
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
        return error_.empty();
    }

    const std::string& Error() const { return error_; }
    // Bytes of a message still incomplete.
    std::size_t Buffered() const { return pending_.size(); }

   private:
    // The size of the message starting here once its header is complete; 0
    // while the header is incomplete or after a corrupt one.
    std::size_t MessageSize(std::span<const std::uint8_t> bytes);

    std::size_t maxSize_;
    std::vector<std::uint8_t> pending_;
    std::string error_;
};

}  // namespace tarnwick::directplay
