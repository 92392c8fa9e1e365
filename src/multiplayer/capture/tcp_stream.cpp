#include "multiplayer/capture/tcp_stream.h"

#include <algorithm>

namespace tarnwick {
namespace {

// Data held behind a gap before the gap is given up: more than a receive
// window, so that a retransmission still fills it in any real capture.
constexpr std::size_t kMaxWaitingBytes = 256 * 1024;

}  // namespace

void TcpStream::Segment(std::uint32_t sequence, bool syn, std::span<const std::uint8_t> payload,
                        const SegmentPlace& place) {
    if (syn) {
        // The first data byte follows the SYN's own sequence number.
        if (!started_) {
            started_ = true;
            next_ = sequence + 1;
        }
        sequence += 1;
    }
    if (payload.empty()) return;
    if (!started_) {
        started_ = true;
        next_ = sequence;
    }
    Take(sequence, payload, place);
}

void TcpStream::Take(std::uint32_t sequence, std::span<const std::uint8_t> bytes, const SegmentPlace& place) {
    const std::int64_t ahead = Ahead(sequence);
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (ahead + size <= 0) return;  // all seen before: a retransmission
    if (ahead <= 0) {
        const auto fresh = bytes.subspan(static_cast<std::size_t>(-ahead));
        next_ += static_cast<std::uint32_t>(fresh.size());
        deliver_(fresh, place);
        DrainWaiting();
        return;
    }
    waiting_.push_back({sequence, {bytes.begin(), bytes.end()}, place});
    waitingBytes_ += bytes.size();
    if (waitingBytes_ > kMaxWaitingBytes) SkipGap();
}

void TcpStream::DrainWaiting() {
    while (!waiting_.empty()) {
        const auto earliest = std::ranges::min_element(waiting_, [this](const Waiting& a, const Waiting& b) {
            return Ahead(a.Sequence) < Ahead(b.Sequence);
        });
        if (Ahead(earliest->Sequence) > 0) return;
        Waiting segment = std::move(*earliest);
        waiting_.erase(earliest);
        waitingBytes_ -= segment.Bytes.size();
        Take(segment.Sequence, segment.Bytes, segment.Place);
    }
}

void TcpStream::SkipGap() {
    if (waiting_.empty()) return;
    const auto earliest = std::ranges::min_element(waiting_, [this](const Waiting& a, const Waiting& b) {
        return Ahead(a.Sequence) < Ahead(b.Sequence);
    });
    const std::int64_t lost = Ahead(earliest->Sequence);
    if (lost > 0) {
        gap_(static_cast<std::uint64_t>(lost), earliest->Place);
        next_ = earliest->Sequence;
    }
    DrainWaiting();
}

void TcpStream::Finish() {
    while (!waiting_.empty()) SkipGap();
}

}  // namespace tarnwick
