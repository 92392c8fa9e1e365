// The TCP/IP connection asks the home router for its ports (a scripted one
// here) against a DirectPlay host on 127.0.0.1.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "multiplayer/tcpip/directplay_transport.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "multiplayer/tcpip/port_mapper_stub.h"

namespace tarnwick {
namespace {

using directplay::Millis;
using testing::Complete;
using testing::Locate;
using testing::LoopbackHost;
using testing::PortMapperStub;

PortMappingResult Opened() {
    PortMappingResult result;
    result.RouterFound = result.Mapped = true;
    result.Router = "192.168.1.1";
    result.OutsideAddress = "25.77.0.1";
    return result;
}

PortMappingResult Refused(bool tcpTaken, const std::string& why) {
    PortMappingResult result;
    result.RouterFound = true;
    result.Router = "192.168.1.1";
    result.TcpPortTaken = tcpTaken;
    result.Refusal = why;
    return result;
}

// A TCP port on 127.0.0.1 that was free a moment ago.
std::uint16_t FreeTcpPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

TEST(RouterPorts, TheListenedPortsAreMappedAndATakenOneMovesTheListenerOnToTheNext) {
    LoopbackHost host;
    auto router = std::make_shared<PortMapperStub>(
        std::deque<PortMappingResult>{Refused(true, "ConflictInMappingEntry (718)"), Opened()});
    auto options = testing::TransportOptionsFor(host);
    const std::uint16_t first = FreeTcpPort();
    options.Client.peer.tcp_ports = {first, static_cast<std::uint16_t>(first + 20)};
    options.Mapper = router;
    options.NeedsRouter = [](std::uint32_t) { return true; };  // as if 127.0.0.1 were beyond a router
    std::vector<std::string> notes;
    options.Log = [&](const std::string& note) { notes.push_back(note); };
    auto transport = std::make_unique<DirectPlayTransport>(options);

    ASSERT_EQ(Locate(*transport, "127.0.0.1").size(), 1u);
    ASSERT_EQ(router->maps.size(), 2u);
    const PortMappingRequest taken = router->maps[0];
    const PortMappingRequest mapped = router->maps[1];
    EXPECT_GT(mapped.TcpPort, taken.TcpPort) << "the next port, the router's own being taken";
    EXPECT_GT(mapped.LeaseSeconds, 0u) << "a lease that lapses if the program vanishes";
    EXPECT_EQ(transport->RouterStatus(), "Router ports opened (TCP " + std::to_string(mapped.TcpPort) +
                                             ", UDP " + std::to_string(mapped.UdpPort) + ")");
    EXPECT_NE(std::find(notes.begin(), notes.end(), MappingSummary(mapped, Opened())), notes.end());

    // The host connects back to the port it is told, which must be the mapped one.
    transport->StartOpen(transport->FoundSessions()[0]);
    ASSERT_TRUE(Complete(*transport));
    bool told = false;
    for (const directplay::PlayerId machine : host.host.Names().SystemPlayers()) {
        const auto* info = host.host.Names().FindPlayer(machine);
        told = told || (info->sp_data && info->sp_data->tcp.port == mapped.TcpPort &&
                        info->sp_data->udp.port == mapped.UdpPort);
    }
    EXPECT_TRUE(told) << "the host knows this computer by the mapped ports";

    transport.reset();
    ASSERT_EQ(router->unmaps.size(), 1u) << "the mapping goes with the session";
    EXPECT_EQ(router->unmaps[0].TcpPort, mapped.TcpPort);
    EXPECT_EQ(router->unmaps[0].UdpPort, mapped.UdpPort);
}

TEST(RouterPorts, ARefusingRouterLeavesThePlainSearchAndAFailedJoinSaysWhatItRefused) {
    LoopbackHost host;
    auto router = std::make_shared<PortMapperStub>(
        std::deque<PortMappingResult>{Refused(false, "Action not authorized (606)")});
    auto options = testing::TransportOptionsFor(host);
    options.Client.reply_timeout = options.Client.name_table_timeout = Millis{20000};
    options.Mapper = router;
    options.NeedsRouter = [](std::uint32_t) { return true; };  // as if 127.0.0.1 were beyond a router
    DirectPlayTransport transport(options);

    const auto sessions = Locate(transport, "127.0.0.1");
    ASSERT_EQ(sessions.size(), 1u) << "a refusal is no error: the search goes on as without a router";
    ASSERT_EQ(router->maps.size(), 1u);
    EXPECT_EQ(transport.RouterStatus(), "Router refused to open ports");
    host.running = false;
    transport.StartOpen(sessions[0]);
    host.clock->Jump(Millis{25000});
    try {
        transport.Advance();
        FAIL() << "joined a silent host";
    } catch (const SessionError& error) {
        EXPECT_NE(error.Advice().find(
                      "The router 192.168.1.1 refused to open the ports: Action not authorized (606)"),
                  std::string::npos)
            << error.Advice();
        EXPECT_NE(error.Advice().find("forward TCP ports 2300-2349 and UDP ports 2350-2399"),
                  std::string::npos);
    }
}

TEST(RouterPorts, OnlyHostsBeyondTheLocalNetworkNeedTheRouter) {
    for (const char* local :
         {"127.0.0.1", "10.1.2.3", "172.16.0.9", "172.31.255.1", "192.168.1.20", "169.254.3.4"})
        EXPECT_FALSE(BeyondHomeRouter(*directplay::ParseIp(local))) << local;
    for (const char* beyond : {"25.77.0.2", "172.32.0.1", "192.169.0.1", "8.8.8.8", "11.0.0.1"})
        EXPECT_TRUE(BeyondHomeRouter(*directplay::ParseIp(beyond))) << beyond;
}

}  // namespace
}  // namespace tarnwick
