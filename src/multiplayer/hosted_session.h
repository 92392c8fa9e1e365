#pragma once
// A session as the machine that hosts it sees it. The traffic simulator plays
// the session's host and pilots through this, whether the session lives in
// this process or is served on the network.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "multiplayer/session_transport.h"

namespace tarnwick {

class HostedSession {
   public:
    virtual ~HostedSession() = default;

    // Failures throw SessionError, as the transport's do.
    virtual std::int32_t AddPlayer(const std::string& friendlyName) = 0;
    virtual void RemovePlayer(std::int32_t player) = 0;
    virtual std::int32_t AddGroup(const std::string& name) = 0;
    virtual void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) = 0;
    // The next message waiting for `player`, one of the players this machine added.
    virtual std::optional<ReceivedMessage> Receive(std::int32_t player) = 0;
};

}  // namespace tarnwick
