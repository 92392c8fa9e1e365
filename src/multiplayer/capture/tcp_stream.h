#pragma once
// One direction of a captured TCP connection put back in order: segments may
// come out of order, twice, or overlapping; the bytes come out once each, in
// order. A segment that never arrives leaves a gap, which is declared once
// the data after it grows past a limit or the capture ends.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tarnwick {

// Where a segment was in the capture, handed back with its bytes: a segment
// held back behind a gap comes out later than it was read.
struct SegmentPlace {
    std::uint64_t Packet = 0;
    std::uint64_t Offset = 0;
    std::int64_t Millis = 0;
};

class TcpStream {
   public:
    // `deliver` takes the bytes that follow on; `gap` the count of bytes lost
    // before the next delivery.
    using Deliver = std::function<void(std::span<const std::uint8_t>, const SegmentPlace&)>;
    using Gap = std::function<void(std::uint64_t lost, const SegmentPlace& next)>;

    TcpStream(Deliver deliver, Gap gap) : deliver_(std::move(deliver)), gap_(std::move(gap)) {}

    void Segment(std::uint32_t sequence, bool syn, std::span<const std::uint8_t> payload,
                 const SegmentPlace& place);
    // The capture ended: whatever waits behind a gap is delivered after it.
    void Finish();

   private:
    struct Waiting {
        std::uint32_t Sequence;
        std::vector<std::uint8_t> Bytes;
        SegmentPlace Place;
    };
    // Signed distance from the next expected byte.
    std::int64_t Ahead(std::uint32_t sequence) const { return static_cast<std::int32_t>(sequence - next_); }
    void Take(std::uint32_t sequence, std::span<const std::uint8_t> bytes, const SegmentPlace& place);
    void DrainWaiting();
    void SkipGap();

    Deliver deliver_;
    Gap gap_;
    bool started_ = false;
    std::uint32_t next_ = 0;
    std::vector<Waiting> waiting_;
    std::size_t waitingBytes_ = 0;
};

}  // namespace tarnwick
