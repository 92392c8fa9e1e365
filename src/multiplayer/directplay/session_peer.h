#pragma once
// What every machine of a DirectPlay session does, host or not: keep the name
// table up to date from the messages other machines send, answer pings, carry
// game messages to and from the machines that own their players, notice
// machines that have gone without a word, and, in sessions that allow it,
// carry on when the host goes (host migration), taking over the name server's
// duties when this machine is next in line. The client and host state
// machines build on it.
//
// Messages count only from whom the protocol allows: DELETEPLAYER from the
// player's own machine or the host, IAMNAMESERVER from a system player of the
// session claiming for itself, and a game message only from the machine that
// owns its sender.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "multiplayer/directplay/name_server.h"
#include "multiplayer/directplay/name_table.h"
#include "multiplayer/directplay/session_actions.h"
#include "multiplayer/directplay/winsock_delivery.h"

namespace tarnwick::directplay {

struct PeerConfig {
    PortRange tcp_ports{kFirstTcpPort, kLastTcpPort};
    PortRange udp_ports{kFirstUdpPort, kLastUdpPort};
    std::uint16_t dialect = kNewestDialect;  // sent; 9 to 14 are read
    // A machine that has sent nothing for this long while its listener
    // refuses connections has gone. FS2002 pilots report their position four
    // times a second, so no live simulator is quiet this long; a silent
    // participant (a controller) still takes connections and stays.
    Millis silence_limit{15000};
    // A listener that refused a connection is tried again after this long at
    // the earliest; sends to it meanwhile are dropped.
    Millis reconnect_interval{5000};
    // While waiting for a new host to announce itself, machines not heard
    // from are pinged this often.
    Millis ping_period{35000};
    // Machines (by TCP listener) this one never contacts: a tool that runs
    // many simulated machines in one process leaves out its own, which have
    // nothing to say to each other, so that it holds a connection per outside
    // machine rather than one per pair.
    std::function<bool(const Endpoint& listener)> ignored;
};

class SessionPeer {
   public:
    SessionPeer(const PeerConfig& config, const Clock& clock);
    virtual ~SessionPeer();
    SessionPeer(const SessionPeer&) = delete;
    SessionPeer& operator=(const SessionPeer&) = delete;

    // ---- events from the socket adapter ----
    void OnSocketsOpen(std::uint16_t tcp_port, std::uint16_t udp_port);
    void OnSocketsFailed(const std::string& reason);
    // Which of the two enumeration sockets (OpenEnumeration) could be bound.
    void OnEnumerationOpen(bool udp, bool tcp);
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
    PlayerId OwnSystemPlayer() const { return ownSystem_; }
    // Whether this machine is the session's name server (its host).
    bool Serving() const { return nameServer_ != nullptr; }
    // The host's TCP listener, when another machine hosts.
    const Endpoint& HostListener() const { return hostListener_; }
    bool SocketsOpen() const { return socketsOpen_; }
    std::uint16_t TcpPort() const { return tcpPort_; }
    std::uint16_t UdpPort() const { return udpPort_; }

   protected:
    // ---- what a role adds ----
    virtual void SocketsReady() {}
    virtual void SocketsFailed(const std::string& reason) = 0;
    // True when the role handled the message itself.
    virtual bool HandleRoleMessage(const Origin& origin, const SystemFrame& frame) = 0;
    // Our connection to this listener closed or could not be opened.
    virtual void ListenerLost(const LostListener&) {}
    // The session cannot go on (the host left a session without migration).
    virtual void SessionEnded(const std::string&) {}
    // How this machine serves when it takes over as host.
    virtual NameServerConfig ServingConfig() const { return {}; }
    // Whether the name table is live and game messages count.
    virtual bool InSession() const = 0;
    virtual void Timer(Millis) {}
    virtual void CollectDeadlines(std::vector<Millis>&) const {}

    // ---- shared helpers ----
    void SendToMachine(PlayerId machine, const SystemMessage& message);
    // To every machine but this one, e.g. the creation of one of our players.
    void SendToOtherMachines(const SystemMessage& message);
    std::optional<Endpoint> ListenerOf(PlayerId machine) const;
    // Whether this machine talks to that one (see PeerConfig::ignored).
    bool Reaches(PlayerId machine) const;
    // The sender's TCP listener: the header's port at the header's address,
    // or at the socket's remote address when the header says 0.0.0.0.
    static Endpoint SenderListener(const Origin& origin, const SystemFrame& frame);
    // The machine a system message came from, when the session knows it.
    const PlayerInfo* SendingMachine(const Origin& origin, const SystemFrame& frame) const;
    // Whether a message came from the host (before the name table: the
    // listener the join went to).
    bool FromHost(const Origin& origin, const SystemFrame& frame) const;
    // Our listening addresses as we announce them: 0.0.0.0 and our ports.
    SpData OwnSpData() const;
    // A record as we send it: our own players get the local flag and our
    // announced SP data.
    PlayerInfo ForWire(const PlayerInfo& player) const;
    // Removes a player (a whole machine for a system player) and reports the
    // visible players that went; a host that went starts host migration, or
    // ends the session.
    void RemovePlayer(PlayerId id);
    // When a message from this machine last came (0: never).
    Millis LastHeard(PlayerId machine) const;
    // Starts or stops serving as the session's name server.
    void Serve(const NameServerConfig& config, std::uint32_t id_key);
    void StopServing();
    NameServer* Server() { return nameServer_.get(); }
    void Emit(Action action) { actions_.push_back(std::move(action)); }
    void Log(std::string text) { actions_.push_back(action::Log{std::move(text)}); }
    Millis Now() const { return clock_.Now(); }
    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(Now().count()); }

    PeerConfig config_;
    std::vector<Action> actions_;
    WinsockDelivery delivery_;
    NameTable names_;
    SessionDesc session_;
    std::u16string sessionName_;
    PlayerId ownSystem_ = 0;
    // The host's TCP listener: where the join goes, then the name server's.
    Endpoint hostListener_;

   private:
    friend class NameServer;

    void Dispatch(const Origin& origin, Inbound& inbound);
    void HandleCommon(const Origin& origin, const SystemFrame& frame);
    bool MayDelete(const PlayerInfo* sender, PlayerId player) const;
    bool ArrivedFrom(const PlayerInfo& machine, const Origin& origin) const;
    void OnHostClaim(const Origin& origin, const SystemFrame& frame, const IAmNameServer& claim);
    void FollowHost(PlayerId machine);
    // ---- machines that go without a word ----
    void CheckMachines(Millis now);
    std::optional<Millis> GoneAt(PlayerId machine) const;
    void MachineVanished(PlayerId machine);
    // ---- host migration ----
    void HostGone(const std::string& reason);
    void ChooseNewHost();
    void PingSilentMachines(Millis now);

    const Clock& clock_;
    std::uint16_t tcpPort_ = 0;
    std::uint16_t udpPort_ = 0;
    bool socketsOpen_ = false;
    std::unique_ptr<NameServer> nameServer_;
    // When to try the enumeration port again, while it could not be opened.
    std::optional<Millis> enumerationRetry_;
    std::map<PlayerId, Millis> heard_;
    // When to look for machines that have gone (after a refusal).
    std::optional<Millis> nextCheck_;
    // The machine elected to take over, until it says so (IAMNAMESERVER).
    std::optional<PlayerId> awaitedHost_;
    Millis nextPing_{0};
};

}  // namespace tarnwick::directplay
