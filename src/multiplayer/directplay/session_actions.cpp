#include "multiplayer/directplay/session_actions.h"

#include "multiplayer/directplay/protocol_constants.h"

namespace tarnwick::directplay {

std::optional<std::string> UnsupportedSessionReason(std::uint32_t session_flags) {
    if (session_flags & session_flags::kSecureServer)
        return "The session uses DirectPlay secure logon (SECURESERVER), which Tarnwick does not support.";
    if (session_flags & session_flags::kDirectPlayProtocol)
        return "The session uses the DirectPlay reliable protocol (DIRECTPLAYPROTOCOL), which Tarnwick does "
               "not "
               "support yet.";
    if (session_flags & session_flags::kClientServer)
        return "The session is a DirectPlay client/server session (CLIENTSERVER), which Tarnwick does not "
               "support.";
    return std::nullopt;
}

}  // namespace tarnwick::directplay
