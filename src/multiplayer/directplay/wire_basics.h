#pragma once
// Small values that travel inside DirectPlay messages: GUIDs in the Windows
// in-memory byte order, and IPv4 endpoints.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::directplay {

// The 16 bytes exactly as they travel (Data1..Data3 little-endian).
struct Guid {
    std::array<std::uint8_t, 16> bytes{};
    bool IsNull() const;
    friend bool operator==(const Guid&, const Guid&) = default;
};

// "{A052A50B-FFE0-CF11-9C4E-00A0C905425E}" form, upper case.
std::string GuidText(const Guid& guid);
// Accepts the form above with or without braces, any case.
std::optional<Guid> ParseGuid(std::string_view text);

// An IPv4 address (host order, 127.0.0.1 = 0x7F000001) and a port.
struct Endpoint {
    std::uint32_t ip = 0;
    std::uint16_t port = 0;
    friend bool operator==(const Endpoint&, const Endpoint&) = default;
    friend auto operator<=>(const Endpoint&, const Endpoint&) = default;
};

inline constexpr std::uint32_t kAnyAddress = 0;
inline constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFF;
inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001;

std::string IpText(std::uint32_t ip);
std::string EndpointText(const Endpoint& endpoint);
// Dotted IPv4 only; names are resolved by the caller.
std::optional<std::uint32_t> ParseIp(std::string_view text);

// An address as given on the wire, where 0.0.0.0 stands for "the address this
// message came from".
inline std::uint32_t ResolveAddress(std::uint32_t given, std::uint32_t sender_ip) {
    return given == kAnyAddress ? sender_ip : given;
}

}  // namespace tarnwick::directplay
