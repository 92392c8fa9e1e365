#pragma once
// What every machine of a DirectPlay session does, host or not: keep the name
// table up to date from the messages other machines send, answer pings, and
// carry game messages to and from the machines that own their players. The
// client and host state machines build on it.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "multiplayer/directplay/name_table.h"
#include "multiplayer/directplay/session_actions.h"
#include "multiplayer/directplay/winsock_delivery.h"

namespace tarnwick::directplay {

struct PeerConfig {
    PortRange tcp_ports{kFirstTcpPort, kLastTcpPort};
    PortRange udp_ports{kFirstUdpPort, kLastUdpPort};
    std::uint16_t dialect = kNewestDialect;  // sent; 9 to 14 are read
};

class SessionPeer {
   public:
    SessionPeer(const PeerConfig& config, const Clock& clock);
    virtual ~SessionPeer() = default;
    SessionPeer(const SessionPeer&) = delete;
    SessionPeer& operator=(const SessionPeer&) = delete;

    // ---- events from the socket adapter ----
    void OnSocketsOpen(std::uint16_t tcp_port, std::uint16_t udp_port);
    void OnSocketsFailed(const std::string& reason);
    // An inbound TCP connection; its number is used for its later events.
    ConnectionId OnAccepted(const Endpoint& peer);
    void OnConnected(ConnectionId connection);
    // A connection closed, or one asked for could not be opened.
    void OnClosed(ConnectionId connection);
    void OnTcpData(ConnectionId connection, std::span<const std::uint8_t> bytes);
    void OnDatagram(const Endpoint& from, std::span<const std::uint8_t> bytes);
    // Runs what is due; call it at NextDeadline() at the latest.
    void OnTimer();
    std::optional<Millis> NextDeadline() const;
    std::vector<Action> TakeActions();

    // ---- the session ----
    // Sends as one of this machine's players to a player, a group or all
    // players (0): one copy per machine concerned. Guaranteed messages go by
    // TCP, the others by UDP. False when there is no session or no such target.
    bool SendGameMessage(PlayerId from, PlayerId to, std::span<const std::uint8_t> payload, bool guaranteed);
    const NameTable& Names() const { return names_; }
    // The short name, in Windows-1252.
    std::optional<std::string> PlayerName(PlayerId id) const;
    const SessionDesc& Session() const { return session_; }
    PlayerId OwnSystemPlayer() const { return own_system_; }
    bool SocketsOpen() const { return sockets_open_; }
    std::uint16_t TcpPort() const { return tcp_port_; }
    std::uint16_t UdpPort() const { return udp_port_; }

   protected:
    // ---- what a role adds ----
    virtual void SocketsReady() {}
    virtual void SocketsFailed(const std::string& reason) = 0;
    // True when the role handled the message itself.
    virtual bool HandleRoleMessage(const Origin& origin, const SystemFrame& frame) = 0;
    // A ping from a player nobody knows.
    virtual void UnknownPinger(const Origin&, const SystemFrame&) {}
    // A whole machine left (its system player was deleted).
    virtual void MachineRemoved(PlayerId) {}
    // Our connection to this listener closed or could not be opened.
    virtual void ListenerLost(const Endpoint&) {}
    virtual void HostChanged(PlayerId) {}
    virtual void Heard(const Origin&) {}
    // Whether the name table is live and game messages count.
    virtual bool InSession() const = 0;
    virtual void Timer(Millis) {}
    virtual void CollectDeadlines(std::vector<Millis>&) const {}

    // ---- shared helpers ----
    void SendToMachine(PlayerId machine, const SystemMessage& message);
    // To every machine but this one, e.g. the creation of one of our players.
    void SendToOtherMachines(const SystemMessage& message);
    std::optional<Endpoint> ListenerOf(PlayerId machine) const;
    // The sender's TCP listener: the header's port at the header's address,
    // or at the socket's remote address when the header says 0.0.0.0.
    static Endpoint SenderListener(const Origin& origin, const SystemFrame& frame);
    // Our listening addresses as we announce them: 0.0.0.0 and our ports.
    SpData OwnSpData() const;
    // A record as we send it: our own players get the local flag and our
    // announced SP data.
    PlayerInfo ForWire(const PlayerInfo& player) const;
    // Removes a player (a whole machine for a system player) and reports the
    // visible players that went.
    void RemovePlayer(PlayerId id);
    void Emit(Action action) { actions_.push_back(std::move(action)); }
    void Log(std::string text) { actions_.push_back(action::Log{std::move(text)}); }
    Millis Now() const { return clock_.Now(); }
    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(Now().count()); }

    PeerConfig config_;
    std::vector<Action> actions_;
    WinsockDelivery delivery_;
    NameTable names_;
    SessionDesc session_;
    std::u16string session_name_;
    PlayerId own_system_ = 0;

   private:
    void Dispatch(const Origin& origin, Inbound& inbound);
    void HandleCommon(const Origin& origin, const SystemFrame& frame);

    const Clock& clock_;
    std::uint16_t tcp_port_ = 0;
    std::uint16_t udp_port_ = 0;
    bool sockets_open_ = false;
};

}  // namespace tarnwick::directplay
