#include "pcap_file.h"

#include <fstream>

namespace tarnwick::directplay::testing {
namespace {

void Big16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Big32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Big16(out, v >> 16);
    Big16(out, v & 0xFFFF);
}
void Little32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint16_t HeaderChecksum(std::span<const std::uint8_t> header) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < header.size(); i += 2)
        sum += std::uint32_t{header[i]} << 8 | header[i + 1];
    while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

}  // namespace

void PcapWriter::AddTcp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload,
                        std::uint32_t sequence, bool syn) {
    std::vector<std::uint8_t> segment;
    Big16(segment, from.port);
    Big16(segment, to.port);
    Big32(segment, sequence);
    Big32(segment, 1);                     // acknowledgement
    segment.push_back(5 << 4);             // 20-byte header
    segment.push_back(syn ? 0x12 : 0x18);  // SYN, ACK or PSH, ACK
    Big16(segment, 65535);                 // window
    Big16(segment, 0);                     // checksum, not checked by the reader
    Big16(segment, 0);
    segment.insert(segment.end(), payload.begin(), payload.end());
    Add(6, from, to, segment);
}

void PcapWriter::AddUdp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> datagram;
    Big16(datagram, from.port);
    Big16(datagram, to.port);
    Big16(datagram, static_cast<std::uint32_t>(8 + payload.size()));
    Big16(datagram, 0);  // no checksum
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    Add(17, from, to, datagram);
}

void PcapWriter::Add(std::uint8_t protocol, const Endpoint& from, const Endpoint& to,
                     std::span<const std::uint8_t> transport) {
    std::vector<std::uint8_t> frame = {2, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 0x08, 0x00};
    std::vector<std::uint8_t> ip = {0x45, 0};
    Big16(ip, static_cast<std::uint32_t>(20 + transport.size()));
    Big16(ip, ++packets_);
    Big16(ip, 0x4000);  // don't fragment
    ip.push_back(64);
    ip.push_back(protocol);
    Big16(ip, 0);
    Big32(ip, from.ip);
    Big32(ip, to.ip);
    const std::uint16_t checksum = HeaderChecksum(ip);
    ip[10] = static_cast<std::uint8_t>(checksum >> 8);
    ip[11] = static_cast<std::uint8_t>(checksum);
    frame.insert(frame.end(), ip.begin(), ip.end());
    frame.insert(frame.end(), transport.begin(), transport.end());

    const std::uint64_t micros = micros_.value_or(std::uint64_t{packets_} * 1'000'000);
    Little32(bytes_, static_cast<std::uint32_t>(micros / 1'000'000));
    Little32(bytes_, static_cast<std::uint32_t>(micros % 1'000'000));
    Little32(bytes_, static_cast<std::uint32_t>(frame.size()));
    Little32(bytes_, static_cast<std::uint32_t>(frame.size()));
    bytes_.insert(bytes_.end(), frame.begin(), frame.end());
}

void PcapWriter::Save(const std::filesystem::path& path) const {
    const std::vector<std::uint8_t> file = Bytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

std::vector<std::uint8_t> PcapWriter::Bytes() const {
    std::vector<std::uint8_t> file;
    Little32(file, 0xA1B2C3D4);
    file.insert(file.end(), {2, 0, 4, 0});  // version 2.4
    Little32(file, 0);                      // time zone
    Little32(file, 0);                      // accuracy
    Little32(file, 65535);                  // snapshot length
    Little32(file, 1);                      // Ethernet
    file.insert(file.end(), bytes_.begin(), bytes_.end());
    return file;
}

}  // namespace tarnwick::directplay::testing
