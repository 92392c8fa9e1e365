#pragma once
// Writes packets into a pcap file (Ethernet, IPv4, then TCP or UDP) so that
// Wireshark's tools can read what our machines send.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::directplay::testing {

class PcapWriter {
   public:
    // One TCP segment (PSH, ACK; SYN when asked) or one UDP datagram
    // carrying `payload`.
    void AddTcp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload,
                std::uint32_t sequence = 1, bool syn = false);
    void AddUdp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload);
    // The time of the packets added from now on; by default packet n is at n seconds.
    void At(std::uint64_t micros) { micros_ = micros; }
    void Save(const std::filesystem::path& path) const;
    // The whole file.
    std::vector<std::uint8_t> Bytes() const;

   private:
    void Add(std::uint8_t protocol, const Endpoint& from, const Endpoint& to,
             std::span<const std::uint8_t> transport);
    std::vector<std::uint8_t> bytes_;
    std::uint32_t packets_ = 0;
    std::optional<std::uint64_t> micros_;
};

}  // namespace tarnwick::directplay::testing
