#pragma once
// The host the user names at the TCP/IP connection's prompt: a dotted IPv4
// address or a host name, looked up with the system's resolver.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The text without the blanks around it.
std::string TrimmedAddress(std::string_view text);

// The IPv4 address (host order), or nothing when the name is unknown. Asks the
// name servers and waits for them: never on a window's thread
// (SystemHostResolver runs it on its own).
std::optional<std::uint32_t> ResolveHostAddress(std::string_view host);

}  // namespace tarnwick
