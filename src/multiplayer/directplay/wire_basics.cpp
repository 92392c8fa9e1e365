#include "multiplayer/directplay/wire_basics.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick::directplay {
namespace {

// Byte positions of the 32 hex digits in display order: Data1..Data3 are
// stored little-endian, the last eight bytes as they are.
constexpr std::array<int, 16> kDisplayOrder = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool Guid::IsNull() const {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::string GuidText(const Guid& guid) {
    std::string text = "{";
    for (std::size_t i = 0; i < kDisplayOrder.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", guid.bytes[static_cast<std::size_t>(kDisplayOrder[i])]);
        text += pair;
    }
    return text + "}";
}

std::optional<Guid> ParseGuid(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return std::nullopt;
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash_place = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash_place != (text[i] == '-')) return std::nullopt;
        if (!dash_place) digits += text[i];
    }
    Guid guid;
    for (std::size_t i = 0; i < 16; ++i) {
        const int high = HexValue(digits[2 * i]);
        const int low = HexValue(digits[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        guid.bytes[static_cast<std::size_t>(kDisplayOrder[i])] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return guid;
}

std::string IpText(std::uint32_t ip) {
    return std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 0xFF) + "." +
           std::to_string((ip >> 8) & 0xFF) + "." + std::to_string(ip & 0xFF);
}

std::string EndpointText(const Endpoint& endpoint) {
    return IpText(endpoint.ip) + ":" + std::to_string(endpoint.port);
}

std::optional<std::uint32_t> ParseIp(std::string_view text) {
    std::uint32_t ip = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
        std::uint32_t part = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            part = part * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (part > 255 || digits > 3) return std::nullopt;
        ip = (ip << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
    }
    if (i != text.size()) return std::nullopt;
    return ip;
}

}  // namespace tarnwick::directplay
