#include "multiplayer/capture/reliable_frames.h"

#include <algorithm>

#include "multiplayer/directplay/wire_io.h"

namespace tarnwick {
namespace {

using directplay::MalformedMessage;

// At most 24 messages are under way on a link; more than that are stale.
constexpr std::size_t kMaxReceiving = 24;
constexpr std::size_t kRememberedDone = 48;

// One to three bytes, seven bits each from the least significant, the top
// bit saying another follows.
std::uint32_t ReadIndex(std::span<const std::uint8_t> frame, std::size_t& at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 3; ++i) {
        if (at >= frame.size()) throw MalformedMessage("a player index cut short");
        const std::uint8_t byte = frame[at++];
        value |= std::uint32_t{byte & 0x7Fu} << (7 * i);
        if ((byte & 0x80) == 0) {
            if (value > 0xFFFF) throw MalformedMessage("a player index above 0xFFFF");
            return value;
        }
    }
    throw MalformedMessage("a player index longer than three bytes");
}

void WriteIndex(std::vector<std::uint8_t>& out, std::uint32_t index) {
    do {
        const auto low = static_cast<std::uint8_t>(index & 0x7F);
        index >>= 7;
        out.push_back(index ? static_cast<std::uint8_t>(low | 0x80) : low);
    } while (index);
}

}  // namespace

ReliableFrame DecodeReliableFrame(std::span<const std::uint8_t> frame) {
    namespace f = reliable_flags;
    ReliableFrame out;
    std::size_t at = 0;
    out.FromIndex = ReadIndex(frame, at);
    out.ToIndex = ReadIndex(frame, at);
    if (frame.size() < at + 1) throw MalformedMessage("no frame flags");
    out.Flags = frame[at];
    if (out.Flags & f::kBig) throw MalformedMessage("a big frame, which no version of DirectPlay sends");
    if (out.Flags & f::kCommand) {
        if (out.Flags & f::kAcknowledge) throw MalformedMessage("a data frame flagged as an acknowledgement");
        if (frame.size() < at + 4) throw MalformedMessage("a data frame header cut short");
        out.Data = true;
        out.MessageId = frame[at + 1];
        out.Sequence = frame[at + 2];
        at += 4;
        if (out.Flags & f::kExtended) {
            if (frame.size() < at + 1) throw MalformedMessage("no extended flags");
            const std::size_t nack = (frame[at] >> 5) & 3u;
            at += 1 + nack;
            if (frame.size() < at) throw MalformedMessage("a NACK mask cut short");
        }
        out.Bytes = frame.subspan(at);
        return out;
    }
    if (!(out.Flags & f::kAcknowledge)) throw MalformedMessage("neither a data frame nor an acknowledgement");
    if (frame.size() < at + 1) throw MalformedMessage("an acknowledgement cut short");
    return out;
}

std::vector<std::uint8_t> EncodeReliableData(std::uint32_t fromIndex, std::uint32_t toIndex,
                                             std::uint8_t flags, std::uint8_t messageId,
                                             std::uint8_t sequence, std::uint8_t serial,
                                             std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    WriteIndex(out, fromIndex);
    WriteIndex(out, toIndex);
    out.insert(out.end(),
               {static_cast<std::uint8_t>(flags | reliable_flags::kCommand), messageId, sequence, serial});
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::optional<std::vector<std::uint8_t>> ReliableMessages::Add(const ReliableFrame& frame) {
    namespace f = reliable_flags;
    if (!frame.Data || std::ranges::find(done_, frame.MessageId) != done_.end()) return std::nullopt;
    if (!receiving_.contains(frame.MessageId) && receiving_.size() >= kMaxReceiving)
        receiving_.erase(receiving_.begin());
    Pieces& pieces = receiving_[frame.MessageId];
    if (frame.Flags & f::kStart) pieces.Start = frame.Sequence;
    if (frame.Flags & f::kEnd) pieces.End = frame.Sequence;
    pieces.BySequence.try_emplace(frame.Sequence, frame.Bytes.begin(), frame.Bytes.end());
    if (!pieces.Start || !pieces.End) return std::nullopt;
    // Sequence numbers count modulo 256 from the start to the end.
    const int count = static_cast<std::uint8_t>(*pieces.End - *pieces.Start) + 1;
    std::vector<std::uint8_t> message;
    for (int i = 0; i < count; ++i) {
        const auto piece = pieces.BySequence.find(static_cast<std::uint8_t>(*pieces.Start + i));
        if (piece == pieces.BySequence.end()) return std::nullopt;
        message.insert(message.end(), piece->second.begin(), piece->second.end());
    }
    receiving_.erase(frame.MessageId);
    done_.push_back(frame.MessageId);
    if (done_.size() > kRememberedDone) done_.pop_front();
    return message;
}

}  // namespace tarnwick
