#pragma once
// A machine joining a DirectPlay session, as a Windows DirectPlay client does:
// it enumerates sessions, asks the host for a system player id, sends its
// forward request, takes the name table from the reply, then optionally
// creates a visible player on every machine and joins it to a group. It
// answers pings and leaves by deleting its players everywhere. When the host
// of a session that allows it goes, the client stays, and hosts the session
// itself when it is first in line (session_peer.h).
//
// Sessions that need secure logon, the reliable protocol or client/server
// mode are refused before anything is sent.
#include <map>
#include <optional>
#include <string>

#include "multiplayer/directplay/session_peer.h"

namespace tarnwick::directplay {

struct ClientConfig {
    PeerConfig peer;
    std::uint16_t enumeration_port = kEnumerationPort;
    Guid application;  // all zero: sessions of any application
    std::uint32_t enumeration_flags = enum_flags::kAvailable;
    // Three requests a search: over the Internet a round trip takes up to a
    // third of a second and a datagram may be lost, and the answer comes on
    // a TCP connection the host must first open back.
    Millis enumeration_time{3000};
    Millis enumeration_repeat{1000};
    // The host answers the id request on a connection it opens back to us;
    // without one (a firewall) nothing comes.
    Millis reply_timeout{15000};
    // Longer than the host's own 15 s wait for the other machines.
    Millis name_table_timeout{30000};
    Millis keepalive_period{35000};
    int keepalive_missed_limit = 8;
};

struct JoinRequest {
    std::string player_name;           // Windows-1252; the short name
    std::string long_name = "Player";  // the formal name
    bool visible_player = true;        // false joins with the system player alone
    std::string password;
};

class DirectPlayClient : public SessionPeer {
   public:
    enum class State {
        kIdle,            // no sockets yet
        kOpening,         // waiting for OnSocketsOpen
        kReady,           // sockets open, no session
        kRequestingId,    // REQUESTPLAYERID sent for the system player
        kForwarding,      // ADDFORWARDREQUEST sent, waiting for the name table
        kCreatingPlayer,  // REQUESTPLAYERID sent for the visible player
        kJoined,
    };

    DirectPlayClient(const ClientConfig& config, const Clock& clock);

    // Asks for the sockets; Enumerate and Join wait for them.
    void Start();
    // Asks the host at this address, or every host on the network when empty.
    // Sessions come as SessionFound, then EnumerationDone.
    void Enumerate(std::optional<std::uint32_t> host_ip);
    // Joins a session an enumeration found. Ends in Joined or JoinFailed.
    void Join(const SessionInfo& session, const JoinRequest& request);
    // After a join with the system player alone: asks the host for a visible
    // player and creates it on every machine. Ends in Joined (with the
    // player) or JoinFailed. False when joined without a session or with a
    // visible player already.
    bool CreateVisiblePlayer(const std::string& name, const std::string& long_name);
    // Deletes our visible player on every machine; the machine stays joined.
    bool DestroyVisiblePlayer();
    // Adds our visible player to a group on every machine.
    bool AddOwnPlayerToGroup(PlayerId group);
    // Deletes our players on every machine and closes the connections.
    void Leave();

    State CurrentState() const { return state_; }
    PlayerId OwnPlayer() const { return ownPlayer_; }

   protected:
    void SocketsReady() override;
    void SocketsFailed(const std::string& reason) override;
    bool HandleRoleMessage(const Origin& origin, const SystemFrame& frame) override;
    void ListenerLost(const LostListener& lost) override;
    void SessionEnded(const std::string& reason) override;
    NameServerConfig ServingConfig() const override;
    bool InSession() const override { return state_ == State::kCreatingPlayer || state_ == State::kJoined; }
    void Timer(Millis now) override;
    void CollectDeadlines(std::vector<Millis>& deadlines) const override;

   private:
    void BeginEnumeration();
    void SendEnumeration();
    void OnEnumReply(const Origin& origin, const SystemFrame& frame, const EnumSessionsReply& reply);
    void OnPlayerReply(const RequestPlayerReply& reply);
    void OnNameTable(const Origin& origin, const SessionDesc& desc, const std::u16string& name,
                     const std::vector<PlayerInfo>& players, const std::vector<PlayerInfo>& groups,
                     const std::vector<PlayerInfo>& shortcuts);
    void OnAddForward(const Origin& origin, const SystemFrame& frame, const AddForward& message);
    void RequestVisiblePlayer();
    void FinishJoin();
    void FailJoin(const std::string& reason);
    void LoseSession(const std::string& reason);
    void DeleteOwnPlayers();
    void ResetSession();

    ClientConfig clientConfig_;
    State state_ = State::kIdle;
    // enumeration
    bool enumerationPending_ = false;
    std::optional<std::uint32_t> enumerationTarget_;
    std::optional<Millis> enumerationEnd_;
    Millis nextEnumeration_{0};
    std::map<std::array<std::uint8_t, 16>, SessionInfo> found_;
    // joining
    std::optional<std::pair<SessionInfo, JoinRequest>> pendingJoin_;
    SessionInfo joining_;
    JoinRequest request_;
    std::optional<Millis> deadline_;
    PlayerId ownPlayer_ = 0;
    // keep-alive
    Millis nextKeepalive_{0};
    int missedPings_ = 0;
};

}  // namespace tarnwick::directplay
