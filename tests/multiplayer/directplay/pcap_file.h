#pragma once
// Writes packets into a pcap file (Ethernet, IPv4, then TCP or UDP) so that
// Wireshark's tools can read what our machines send.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::directplay::testing {

class PcapWriter {
   public:
    // One TCP segment (PSH, ACK) or one UDP datagram carrying `payload`.
    void AddTcp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload);
    void AddUdp(const Endpoint& from, const Endpoint& to, std::span<const std::uint8_t> payload);
    void Save(const std::filesystem::path& path) const;

   private:
    void Add(std::uint8_t protocol, const Endpoint& from, const Endpoint& to,
             std::span<const std::uint8_t> transport);
    std::vector<std::uint8_t> bytes_;
    std::uint32_t packets_ = 0;
};

}  // namespace tarnwick::directplay::testing
