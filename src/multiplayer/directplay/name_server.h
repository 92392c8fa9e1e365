#pragma once
// What the machine hosting a DirectPlay session does for the others, as its
// name server: it answers enumeration, gives out player ids, brings a joiner
// in (ADDFORWARD to the established machines, then the name table to the
// joiner once they have acknowledged), tells pingers it does not know that
// they are dead, and tells every machine when another has gone without a word.
// The session's first host does this from the start; a machine that takes
// over after the host has gone (host migration) does it from then on.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "multiplayer/directplay/player_ids.h"
#include "multiplayer/directplay/winsock_delivery.h"

namespace tarnwick::directplay {

class SessionPeer;

struct NameServerConfig {
    std::uint16_t enumeration_port = kEnumerationPort;  // UDP, and TCP as well
    std::string password;                               // Windows-1252
    // How long a joiner waits for the other machines' acknowledgements.
    Millis name_table_timeout{15000};
};

class NameServer {
   public:
    NameServer(SessionPeer& peer, const NameServerConfig& config, std::uint32_t id_key);
    NameServer(const NameServer&) = delete;
    NameServer& operator=(const NameServer&) = delete;

    std::uint32_t IdKey() const { return ids_.Key(); }
    // A fresh player or group id; empty when the session has none left.
    std::optional<PlayerId> AllocateId() { return ids_.Allocate(); }
    // Players and groups that left: their ids may be given out again.
    void Released(const std::vector<PlayerId>& ids);

    // Takes over a session another machine hosted until now: the ids it gave
    // out stay taken, the enumeration port opens, and every machine learns
    // who hosts now (IAMNAMESERVER).
    void TakeOver();
    // Tells the other machines this machine's host record, e.g. to one that
    // claimed to host as well.
    void Announce(PlayerId machine);
    // Tells every other machine that these players are gone (DELETEPLAYER),
    // for a machine that left without saying so.
    void TellRemoved(const std::vector<PlayerId>& players);

    // True when the message was one for the name server.
    bool Handle(const Origin& origin, const SystemFrame& frame);
    // A ping from a player nobody knows.
    void UnknownPinger(const Origin& origin, const SystemFrame& frame);
    // Our connection to this listener closed or could not be opened.
    void ListenerLost(const Endpoint& listener);
    void Timer(Millis now);
    void CollectDeadlines(std::vector<Millis>& deadlines) const;

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
    void OnAddForwardAck(const Origin& origin, const SystemFrame& frame, const AddForwardAck& ack);
    void SendNameTable(PlayerId joiner);
    IAmNameServer Claim(PlayerId to) const;
    SessionDesc CurrentDesc() const;
    bool Full() const;

    SessionPeer& peer_;
    NameServerConfig config_;
    PlayerIdAllocator ids_;
    // System ids handed out whose forward request has not come yet.
    std::map<PlayerId, Endpoint> reservedMachines_;
    std::map<PlayerId, PendingJoin> pendingJoins_;
};

}  // namespace tarnwick::directplay
