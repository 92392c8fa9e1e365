#pragma once
// A DirectPlay session host over TCP/IP, enough for FS2002-style clients and
// our own client to join: it opens the session and serves as its name server
// (name_server.h) from the start. It owns players and groups of its own, as
// the traffic simulator's aircraft, and exchanges game messages as them. As in
// DirectPlay's peer-to-peer mode, it does not relay: every machine sends to
// every other itself.
#include <optional>
#include <random>
#include <string>

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
    // session has no free id or this machine no longer hosts.
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
    bool HandleRoleMessage(const Origin&, const SystemFrame&) override { return !running_; }
    NameServerConfig ServingConfig() const override;
    bool InSession() const override { return running_; }

   private:
    PlayerId NewId();

    HostConfig hostConfig_;
    std::mt19937_64 random_;
    bool running_ = false;
};

}  // namespace tarnwick::directplay
