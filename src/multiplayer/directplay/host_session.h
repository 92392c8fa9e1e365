#pragma once
// A DirectPlay session host over TCP/IP, enough for FS2002-style clients and
// our own client to join: it answers enumeration, gives out player ids, tells
// the established machines about a joiner (ADDFORWARD) and sends the joiner the
// name table once they have acknowledged it. It owns players and groups of its
// own, as the traffic simulator's aircraft, and exchanges game messages as
// them. As in DirectPlay's peer-to-peer mode, it does not relay: every machine
// sends to every other itself.
#include <map>
#include <random>
#include <set>
#include <string>

#include "multiplayer/directplay/player_ids.h"
#include "multiplayer/directplay/session_peer.h"

namespace tarnwick::directplay {

struct HostConfig {
    PeerConfig peer;
    std::uint16_t enumeration_port = kEnumerationPort;  // UDP, and TCP as well
    std::string session_name = "Tarnwick";              // Windows-1252
    Guid application;
    std::uint32_t max_players = 16;
    std::uint32_t session_flags = 0;
    std::string password;
    // How long a joiner waits for the other machines' acknowledgements.
    Millis name_table_timeout{15000};
    // Seeds the session's instance GUID and, unless given, its id key.
    std::uint64_t seed = 0;
    std::optional<std::uint32_t> id_key;
};

class DirectPlayHost : public SessionPeer {
   public:
    DirectPlayHost(const HostConfig& config, const Clock& clock);

    // Asks for the sockets, the enumeration port included.
    void Start();
    // A player of this machine, announced to every machine; 0 when the
    // session has no free id.
    PlayerId CreateLocalPlayer(const std::string& name, const std::string& long_name = "Player");
    void DestroyLocalPlayer(PlayerId player);
    PlayerId CreateGroup(const std::string& name);
    bool AddLocalPlayerToGroup(PlayerId player, PlayerId group);
    // Deletes this machine's players everywhere and closes every connection.
    void Leave();
    bool Running() const { return running_; }

   protected:
    void SocketsReady() override;
    void SocketsFailed(const std::string& reason) override;
    bool HandleRoleMessage(const Origin& origin, const SystemFrame& frame) override;
    void UnknownPinger(const Origin& origin, const SystemFrame& frame) override;
    void MachineRemoved(PlayerId system_player) override;
    void ListenerLost(const Endpoint& listener) override;
    bool InSession() const override { return running_; }
    void Timer(Millis now) override;
    void CollectDeadlines(std::vector<Millis>& deadlines) const override;

   private:
    struct PendingJoin {
        Endpoint listener;
        std::set<Endpoint> unacknowledged;  // machines told by ADDFORWARD
        Millis deadline{0};
    };
    void OnEnumSessions(const Origin& origin, const SystemFrame& frame, const EnumSessions& request);
    void OnRequestPlayerId(const Origin& origin, const SystemFrame& frame, const RequestPlayerId& request);
    void OnAddForwardRequest(const Origin& origin, const SystemFrame& frame,
                             const AddForwardRequest& request);
    void OnAddForwardAck(const Origin& origin, const SystemFrame& frame);
    void SendNameTable(PlayerId joiner);
    SessionDesc CurrentDesc() const;
    bool Full() const;

    HostConfig host_config_;
    std::mt19937_64 random_;
    PlayerIdAllocator ids_;
    bool running_ = false;
    // System ids handed out whose forward request has not come yet.
    std::map<PlayerId, Endpoint> reserved_machines_;
    std::map<PlayerId, PendingJoin> pending_joins_;
};

}  // namespace tarnwick::directplay
