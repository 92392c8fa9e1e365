#pragma once
// A host with one pilot and two clients that joined it, each a machine of its
// own on the in-memory network, with a fake clock. The id key decides who is
// first in line to host: with key 0 ids grow with every allocation, so the
// first client's system player is lower than the second's; with the key
// 0xFFFFFFFF they shrink, and the second's is lower.
#include <gtest/gtest.h>

#include <algorithm>

#include "loopback_network.h"
#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/host_session.h"

namespace tarnwick::directplay::testing {

inline constexpr std::uint32_t kHostIp = 0x0A000001;
inline constexpr std::uint32_t kFirstIp = 0x0A000002;
inline constexpr std::uint32_t kSecondIp = 0x0A000003;
inline constexpr std::uint32_t kThirdIp = 0x0A000004;

inline HostConfig ThreeMachinesHost(std::uint32_t session_flags, std::uint32_t id_key) {
    HostConfig config;
    config.session_name = "KSEA Approach";
    config.session_flags = session_flags;
    config.id_key = id_key;
    return config;
}

struct ThreeMachines {
    explicit ThreeMachines(std::uint32_t session_flags = 0, std::uint32_t id_key = 0)
        : host(ThreeMachinesHost(session_flags, id_key), clock) {
        net.Add(host, kHostIp);
        net.Add(first, kFirstIp);
        net.Add(second, kSecondIp);
        host.Start();
        net.Pump();
        pilot = host.CreateLocalPlayer("Sim One");
        Join(first, "First", kHostIp);
        Join(second, "Second", kHostIp);
    }

    // Finds the session at `host_ip` and joins it with a visible player.
    void Join(DirectPlayClient& who, const std::string& name, std::uint32_t host_ip) {
        who.Enumerate(host_ip);
        net.Pump();
        const auto found = net.EventsOf<action::SessionFound>(who);
        ASSERT_FALSE(found.empty()) << "no session at " << IpText(host_ip);
        JoinRequest request;
        request.player_name = name;
        who.Join(found.back().session, request);
        net.Pump();
        ASSERT_EQ(who.CurrentState(), DirectPlayClient::State::kJoined) << name;
    }

    // After carrying what the machines have to send.
    template <typename T>
    std::vector<T> Events(const SessionPeer& peer) {
        net.Pump();
        return net.EventsOf<T>(peer);
    }
    bool Destroyed(const SessionPeer& peer, PlayerId id) {
        const auto gone = Events<action::PlayerDestroyed>(peer);
        return std::any_of(gone.begin(), gone.end(), [&](const auto& e) { return e.id == id; });
    }
    Endpoint ListenerOf(const SessionPeer& peer, std::uint32_t ip) const { return {ip, peer.TcpPort()}; }

    FakeClock clock;
    LoopbackNetwork net{clock};
    DirectPlayHost host;
    DirectPlayClient first{ClientConfig{}, clock};
    DirectPlayClient second{ClientConfig{}, clock};
    PlayerId pilot = 0;
};

}  // namespace tarnwick::directplay::testing
