#pragma once
// The frames of DirectPlay's reliable protocol, which sessions flagged
// DIRECTPLAYPROTOCOL use for all traffic between machines after the join:
// two player indexes, then a data frame (a message or a piece of one) or an
// acknowledgement. For reading captures only: the data frames of each link
// are put back together into messages, acknowledgements are passed over.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace tarnwick {

struct ReliableFrame {
    // The players' indexes: their ids without the session's mask.
    std::uint32_t FromIndex = 0;
    std::uint32_t ToIndex = 0;
    bool Data = false;  // false: an ACK or NACK
    std::uint8_t Flags = 0;
    std::uint8_t MessageId = 0;
    std::uint8_t Sequence = 0;
    std::span<const std::uint8_t> Bytes;  // a data frame's data
};

namespace reliable_flags {
inline constexpr std::uint8_t kExtended = 0x80;
inline constexpr std::uint8_t kBig = 0x40;
inline constexpr std::uint8_t kCommand = 0x20;
inline constexpr std::uint8_t kStart = 0x10;
inline constexpr std::uint8_t kEnd = 0x08;
inline constexpr std::uint8_t kAcknowledge = 0x02;
inline constexpr std::uint8_t kReliable = 0x01;
}  // namespace reliable_flags

// Throws directplay::MalformedMessage with the reason.
ReliableFrame DecodeReliableFrame(std::span<const std::uint8_t> frame);
// The frame's bytes, for tests and tools that make such captures.
std::vector<std::uint8_t> EncodeReliableData(std::uint32_t fromIndex, std::uint32_t toIndex,
                                             std::uint8_t flags, std::uint8_t messageId,
                                             std::uint8_t sequence, std::uint8_t serial,
                                             std::span<const std::uint8_t> data);

// One direction of one link: data frames in, whole messages out. A message
// comes out once, however often its frames were sent again.
class ReliableMessages {
   public:
    std::optional<std::vector<std::uint8_t>> Add(const ReliableFrame& frame);

   private:
    struct Pieces {
        std::optional<std::uint8_t> Start;
        std::optional<std::uint8_t> End;
        std::map<std::uint8_t, std::vector<std::uint8_t>> BySequence;
    };
    std::map<std::uint8_t, Pieces> receiving_;
    // Message ids put together lately, whose frames sent again are passed over.
    std::deque<std::uint8_t> done_;
};

}  // namespace tarnwick
