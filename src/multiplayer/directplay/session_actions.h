#pragma once
// What the DirectPlay state machines are told (events, as calls) and what they
// ask for in return (actions, read with TakeActions). The machines do no I/O
// and read time only from an injected clock, so a socket adapter stays thin
// and tests drive them without sockets.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "multiplayer/directplay/structures.h"

namespace tarnwick::directplay {

using Millis = std::chrono::milliseconds;

class Clock {
   public:
    virtual ~Clock() = default;
    // Time since any fixed start; only differences matter.
    virtual Millis Now() const = 0;
};

// Connections are numbered by the state machine, inbound and outbound alike.
using ConnectionId = std::uint32_t;

// A port range to bind in, first free port wins; {0, 0} lets the system pick.
struct PortRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

// A session as an enumeration reply describes it.
struct SessionInfo {
    SessionDesc desc;
    std::u16string name;
    Endpoint host;  // the host's TCP listener
};

// Why the program cannot join a session with these flags, or nothing.
std::optional<std::string> UnsupportedSessionReason(std::uint32_t session_flags);

namespace action {
// Bind a TCP listener and a UDP socket (and, for a host, the enumeration port
// on UDP and TCP), then report with OnSocketsOpen or OnSocketsFailed.
struct OpenSockets {
    PortRange tcp;
    PortRange udp;
    std::optional<std::uint16_t> enumeration_port;
};
// Bind the enumeration port on UDP and TCP, for a machine that has become the
// session's host; report with OnEnumerationOpen.
struct OpenEnumeration {
    std::uint16_t port = 0;
};
// Open a TCP connection; report OnConnected, or OnClosed if it fails.
struct Connect {
    ConnectionId connection = 0;
    Endpoint to;
};
struct SendTcp {
    ConnectionId connection = 0;
    std::vector<std::uint8_t> bytes;
};
// Close after the bytes already sent on it have gone out.
struct Close {
    ConnectionId connection = 0;
};
// From the UDP socket; to 255.255.255.255 as a broadcast.
struct SendUdp {
    Endpoint to;
    std::vector<std::uint8_t> bytes;
};
struct SessionFound {
    SessionInfo session;
};
struct EnumerationDone {};
struct Joined {
    PlayerId system_player = 0;
    PlayerId player = 0;  // 0 when no visible player was asked for
};
struct JoinFailed {
    std::string reason;
};
struct SessionLost {
    std::string reason;
};
// The session's host has gone and another machine hosts now, or this one.
struct HostChanged {
    PlayerId host = 0;  // the new host's system player
    bool this_machine = false;
};
// A visible player of another machine appeared or left.
struct PlayerCreated {
    PlayerId id = 0;
    std::string name;  // Windows-1252
};
struct PlayerDestroyed {
    PlayerId id = 0;
};
// A game message for this machine's players (to = 0: all players).
struct Deliver {
    PlayerId from = 0;
    PlayerId to = 0;
    std::vector<std::uint8_t> payload;
    bool guaranteed = true;
};
// What was dropped and why, and other things worth a log line.
struct Log {
    std::string text;
};
}  // namespace action

using Action = std::variant<action::OpenSockets, action::OpenEnumeration, action::Connect, action::SendTcp,
                            action::Close, action::SendUdp, action::SessionFound, action::EnumerationDone,
                            action::Joined, action::JoinFailed, action::SessionLost, action::HostChanged,
                            action::PlayerCreated, action::PlayerDestroyed, action::Deliver, action::Log>;

}  // namespace tarnwick::directplay
