#pragma once
// One captured frame taken apart down to its TCP segment or UDP datagram:
// the link layers a capture of DirectPlay can have (Ethernet with or without
// VLAN tags, Linux "any", BSD loopback, raw IPv4), then IPv4, then TCP or
// UDP. Every length is checked against the bytes captured.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick {

struct CapturedSegment {
    directplay::Endpoint From;
    directplay::Endpoint To;
    bool Tcp = false;
    std::uint32_t Sequence = 0;  // TCP only
    bool Syn = false;
    std::span<const std::uint8_t> Payload;
};

struct SegmentOrReason {
    std::optional<CapturedSegment> Segment;
    // Why the frame holds no segment to read (empty for frames that are
    // simply not IPv4 TCP or UDP, such as ARP).
    std::string Reason;
};

// `linkType`: the capture's link-layer header type (DLT_ value).
SegmentOrReason ParseCapturedFrame(int linkType, std::span<const std::uint8_t> frame);

}  // namespace tarnwick
