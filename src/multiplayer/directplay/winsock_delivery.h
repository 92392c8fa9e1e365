#pragma once
// How the TCP/IP service provider moves messages between machines: each side
// sends on a TCP connection it opened to the other's listener and receives on
// connections it accepted; unguaranteed traffic goes by UDP. This class keeps
// those connections, frames and decodes what arrives, and turns sends into
// socket actions.
//
// It is the one place that knows the transport. A session using the DirectPlay
// reliable protocol would replace it with one that carries the same messages
// in reliable-protocol frames over UDP; the session logic above would not
// change.
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "multiplayer/directplay/frame.h"
#include "multiplayer/directplay/frame_reassembler.h"
#include "multiplayer/directplay/session_actions.h"

namespace tarnwick::directplay {

// Where an incoming message came from.
struct Origin {
    std::optional<ConnectionId> connection;  // empty for a datagram
    Endpoint peer;                           // the socket's remote address
    // On TCP: the sender's listener, as the message's header names it (an
    // address of 0.0.0.0 there stands for the connection's remote address).
    std::optional<Endpoint> sender_listener;
};

// Our connection to a machine's listener is gone: closed after it was open,
// or refused (never opened).
struct LostListener {
    Endpoint listener;
    bool refused = false;
};

class WinsockDelivery {
   public:
    using OnInbound = std::function<void(const Origin&, Inbound&)>;

    // A listener that refused a connection is not tried again for
    // `retry_after`, unless its machine speaks meanwhile: what is sent to it
    // until then is dropped.
    WinsockDelivery(std::vector<Action>& actions, const Clock& clock, Millis retry_after)
        : actions_(actions), clock_(clock), retryAfter_(retry_after) {}

    void SetOwnTcpPort(std::uint16_t port) { ownTcpPort_ = port; }
    void SetDialect(std::uint16_t dialect) { dialect_ = dialect; }
    // False in sessions with the NOMESSAGEID flag.
    void SetMessageIds(bool with_ids) { withIds_ = with_ids; }
    bool MessageIds() const { return withIds_; }
    // The header address of what we send: our TCP listening port, address
    // 0.0.0.0 for "this machine".
    Endpoint OwnHeaderAddress() const { return {kAnyAddress, ownTcpPort_}; }

    // Guaranteed: on our connection to the machine's TCP listener, opened on first use.
    void SendSystem(const Endpoint& listener, const SystemMessage& message);
    void SendGame(const Endpoint& listener, const GameMessage& message);
    // Unguaranteed: a datagram to the machine's UDP port.
    void SendSystemDatagram(const Endpoint& udp, const SystemMessage& message);
    void SendGameDatagram(const Endpoint& udp, const GameMessage& message);
    void SendDatagramBytes(const Endpoint& udp, std::vector<std::uint8_t> bytes);

    // Connection events from the socket adapter.
    ConnectionId Accept(const Endpoint& peer);
    void Connected(ConnectionId connection);
    // Forgets the connection. Returns the listener it led to if it was ours.
    std::optional<LostListener> Closed(ConnectionId connection);
    void TcpData(ConnectionId connection, std::span<const std::uint8_t> bytes, const OnInbound& on_inbound);
    void Datagram(const Endpoint& from, std::span<const std::uint8_t> bytes, const OnInbound& on_inbound);

    // Closes our connection to this listener (after what is queued has gone).
    void CloseTo(const Endpoint& listener);
    void CloseAll();
    bool HasConnectionTo(const Endpoint& listener) const { return outbound_.contains(listener); }
    // Opens a connection to the listener, with nothing to send, to learn
    // whether it still takes connections.
    void Probe(const Endpoint& listener);
    // When the listener last refused a connection, unless one has opened since.
    std::optional<Millis> RefusedAt(const Endpoint& listener) const;

   private:
    struct Connection {
        Endpoint peer;
        bool outbound = false;
        bool open = false;
        bool close_when_sent = false;
        std::vector<std::vector<std::uint8_t>> waiting;  // until the connection opens
        FrameReassembler reader;
    };
    void SendFrame(const Endpoint& listener, std::vector<std::uint8_t> frame);
    // A new outbound connection, carrying `frame` once open when there is one.
    void Open(const Endpoint& listener, std::optional<std::vector<std::uint8_t>> frame);
    void CloseConnection(ConnectionId id, Connection& connection);
    void Log(std::string text);

    std::vector<Action>& actions_;
    const Clock& clock_;
    Millis retryAfter_;
    std::map<Endpoint, Millis> refused_;
    std::map<ConnectionId, Connection> connections_;
    std::map<Endpoint, ConnectionId> outbound_;
    ConnectionId nextId_ = 1;
    std::uint16_t ownTcpPort_ = 0;
    std::uint16_t dialect_ = kNewestDialect;
    bool withIds_ = true;
};

}  // namespace tarnwick::directplay
