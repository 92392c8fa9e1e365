#include "multiplayer/tcpip/host_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick {

std::string TrimmedAddress(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::optional<std::uint32_t> ResolveHostAddress(std::string_view host) {
    if (const auto ip = directplay::ParseIp(host)) return ip;
    if (host.empty()) return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string name(host);
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
    if (found->ai_family != AF_INET || found->ai_addrlen < sizeof(sockaddr_in)) return std::nullopt;
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    return ntohl(address.sin_addr.s_addr);
}

}  // namespace tarnwick
