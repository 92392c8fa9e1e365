#include "multiplayer/capture/captured_packet.h"

#include <pcap/dlt.h>

namespace tarnwick {
namespace {

constexpr std::uint16_t kIpv4 = 0x0800;
constexpr std::uint16_t kVlan = 0x8100;
constexpr std::uint8_t kTcpProtocol = 6;
constexpr std::uint8_t kUdpProtocol = 17;

std::uint16_t Big16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}
std::uint32_t Big32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{Big16(b, at)} << 16 | Big16(b, at + 2);
}

// The IPv4 packet inside the link layer, or nothing when it holds another protocol.
std::optional<std::span<const std::uint8_t>> Ipv4Of(int linkType, std::span<const std::uint8_t> frame,
                                                    std::string& reason) {
    std::size_t at = 0;
    std::uint16_t type = 0;
    switch (linkType) {
        case DLT_EN10MB:
            at = 12;
            if (frame.size() < at + 2) break;
            type = Big16(frame, at);
            at += 2;
            while (type == kVlan && frame.size() >= at + 4) {
                type = Big16(frame, at + 2);
                at += 4;
            }
            if (type != kIpv4) return std::nullopt;
            return frame.subspan(at);
        case DLT_LINUX_SLL:
            if (frame.size() < 16) break;
            if (Big16(frame, 14) != kIpv4) return std::nullopt;
            return frame.subspan(16);
        case DLT_LINUX_SLL2:
            if (frame.size() < 20) break;
            if (Big16(frame, 0) != kIpv4) return std::nullopt;
            return frame.subspan(20);
        case DLT_NULL:
        case DLT_LOOP: {
            if (frame.size() < 4) break;
            // The address family, in the capturing machine's byte order for
            // DLT_NULL: AF_INET is 2 on every system.
            const bool inet = (frame[0] == 2 && frame[3] == 0) || (frame[0] == 0 && frame[3] == 2);
            if (!inet) return std::nullopt;
            return frame.subspan(4);
        }
        case DLT_RAW:
#ifdef DLT_IPV4
        case DLT_IPV4:
#endif
            return frame;
        default:
            reason = "a link layer this reader does not know (type " + std::to_string(linkType) + ")";
            return std::nullopt;
    }
    reason = "a link-layer header cut short";
    return std::nullopt;
}

}  // namespace

SegmentOrReason ParseCapturedFrame(int linkType, std::span<const std::uint8_t> frame) {
    SegmentOrReason result;
    const auto ip = Ipv4Of(linkType, frame, result.Reason);
    if (!ip) return result;
    const std::span<const std::uint8_t> packet = *ip;
    if (packet.size() < 20 || packet[0] >> 4 != 4) {
        result.Reason = packet.empty() || packet[0] >> 4 == 4 ? "an IPv4 header cut short" : "";
        return result;
    }
    const std::size_t headerSize = static_cast<std::size_t>(packet[0] & 15) * 4;
    const std::size_t totalSize = Big16(packet, 2);
    if (headerSize < 20 || totalSize < headerSize) {
        result.Reason = "an IPv4 header with impossible lengths";
        return result;
    }
    if (packet.size() < totalSize) {
        result.Reason = "a packet captured shorter than it was sent (the capture's snapshot length)";
        return result;
    }
    if ((Big16(packet, 6) & 0x3FFF) != 0) {
        result.Reason = "a fragment of an IPv4 packet, which this reader does not put together";
        return result;
    }
    const std::uint8_t protocol = packet[9];
    if (protocol != kTcpProtocol && protocol != kUdpProtocol) return result;
    const std::span<const std::uint8_t> transport = packet.subspan(headerSize, totalSize - headerSize);
    CapturedSegment segment;
    segment.From.ip = Big32(packet, 12);
    segment.To.ip = Big32(packet, 16);
    segment.Tcp = protocol == kTcpProtocol;
    if (segment.Tcp) {
        const std::size_t offset =
            transport.size() >= 13 ? static_cast<std::size_t>(transport[12] >> 4) * 4 : 0;
        if (transport.size() < 20 || offset < 20 || offset > transport.size()) {
            result.Reason = "a TCP header cut short";
            return result;
        }
        segment.Sequence = Big32(transport, 4);
        segment.Syn = (transport[13] & 0x02) != 0;
        segment.Payload = transport.subspan(offset);
    } else {
        if (transport.size() < 8 || Big16(transport, 4) < 8 || Big16(transport, 4) > transport.size()) {
            result.Reason = "a UDP header cut short";
            return result;
        }
        segment.Payload = transport.subspan(8, Big16(transport, 4) - 8u);
    }
    segment.From.port = Big16(transport, 0);
    segment.To.port = Big16(transport, 2);
    result.Segment = segment;
    return result;
}

}  // namespace tarnwick
