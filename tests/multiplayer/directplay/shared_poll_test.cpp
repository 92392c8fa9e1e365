// Many machines in one process on one poll(), each bound to a loopback address
// of its own, as tarnwick-simpilots runs them; when the host of a MIGRATEHOST
// session leaves, the machine first in line opens the enumeration port on its
// own address and a late machine joins the session through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/host_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"

namespace tarnwick::directplay {
namespace {

constexpr std::uint32_t kFirstClientIp = kLoopbackAddress + 1;  // 127.0.0.2

struct Machines {
    SteadyClock clock;
    std::deque<DirectPlayClient> clients;
    std::deque<PosixRunner> runners;
    std::vector<PosixRunner*> all;
    std::map<const SessionPeer*, std::vector<Action>> events;

    void Add(SessionPeer& peer, PosixRunner& runner) {
        all.push_back(&runner);
        events[&peer];
    }
    DirectPlayClient& AddClient(const ClientConfig& config, std::uint32_t ip) {
        DirectPlayClient& client = clients.emplace_back(config, clock);
        Add(client, runners.emplace_back(client, clock, ip));
        return client;
    }
    bool RunUntil(const std::function<bool()>& done) {
        for (const Millis give_up = clock.Now() + Millis{5000}; !done() && clock.Now() < give_up;) {
            PosixRunner::PollAll(all, Millis{5});
            for (std::size_t i = 0; i < all.size(); ++i)
                for (auto& e : all[i]->TakeEvents()) events[PeerOf(i)].push_back(std::move(e));
        }
        return done();
    }
    const SessionPeer* PeerOf(std::size_t runner) const { return runner == 0 ? host : &clients[runner - 1]; }
    template <typename T>
    bool Got(const SessionPeer& peer) {
        return std::any_of(events[&peer].begin(), events[&peer].end(),
                           [](const Action& a) { return std::holds_alternative<T>(a); });
    }
    bool Join(DirectPlayClient& client, std::uint32_t host_ip) {
        client.Enumerate(host_ip);
        if (!RunUntil([&] { return Got<action::SessionFound>(client); })) return false;
        SessionInfo session;
        for (const auto& e : events[&client])
            if (const auto* found = std::get_if<action::SessionFound>(&e)) session = found->session;
        JoinRequest request;
        request.player_name = "Pilot";
        client.Join(session, request);
        return RunUntil([&] { return Got<action::Joined>(client); });
    }
    const SessionPeer* host = nullptr;
};

TEST(DirectPlaySockets, MachinesOnAddressesOfTheirOwnShareOnePollAndOutliveTheirHost) {
    Machines m;
    HostConfig host_config;
    host_config.peer.tcp_ports = host_config.peer.udp_ports = {0, 0};
    host_config.enumeration_port = 0;
    host_config.session_flags = session_flags::kMigrateHost;
    host_config.id_key = 0;  // ids grow: the first machine to join is first in line
    DirectPlayHost host(host_config, m.clock);
    PosixRunner host_runner(host, m.clock, kLoopbackAddress);
    m.host = &host;
    m.Add(host, host_runner);
    host.Start();
    host_runner.PollOnce(Millis{0});
    ASSERT_TRUE(host_runner.EnumerationPort());

    ClientConfig config;
    config.peer.tcp_ports = config.peer.udp_ports = {0, 0};
    config.enumeration_port = *host_runner.EnumerationPort();
    config.enumeration_time = Millis{300};
    for (std::uint32_t i = 0; i < 3; ++i) {
        DirectPlayClient& client = m.AddClient(config, kFirstClientIp + i);
        ASSERT_TRUE(m.Join(client, kLoopbackAddress)) << i;
        EXPECT_EQ(host.Names().FindPlayer(client.OwnSystemPlayer())->sp_data->tcp.ip, kFirstClientIp + i)
            << "the host sees each machine at its own address";
    }

    host.Leave();
    DirectPlayClient& next = m.clients[0];
    ASSERT_TRUE(m.RunUntil([&] {
        return next.Serving() && m.clients[1].Names().Host() == next.OwnSystemPlayer() &&
               m.clients[2].Names().Host() == next.OwnSystemPlayer();
    }));
    DirectPlayClient& late = m.AddClient(config, kFirstClientIp + 3);
    ASSERT_TRUE(m.Join(late, kFirstClientIp)) << "found and joined through the new host";
    EXPECT_TRUE(m.RunUntil([&] { return m.clients[2].PlayerName(late.OwnPlayer()).has_value(); }));
}

}  // namespace
}  // namespace tarnwick::directplay
