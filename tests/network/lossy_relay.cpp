// A slow, lossy line between two network interfaces, for the tests that have
// no queueing disciplines in the kernel to make one: every Ethernet frame
// that arrives on one side leaves on the other after a fixed delay, and a
// share of the UDP datagrams is dropped, chosen at random from a fixed seed
// so that a run can be repeated.
//
//   tarnwick-test-relay IFACE_A IFACE_B DELAY_MS UDP_LOSS_PERCENT SEED
#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Frame {
    Clock::time_point due;
    int to = 0;  // the side it leaves on
    std::vector<unsigned char> bytes;
};

volatile std::sig_atomic_t stopping = 0;

int OpenSide(const char* name) {
    const int fd = socket(AF_PACKET, SOCK_RAW, htons(ETH_P_ALL));
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(ETH_P_ALL);
    address.sll_ifindex = static_cast<int>(if_nametoindex(name));
    if (fd < 0 || address.sll_ifindex == 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror(name);
        std::exit(1);
    }
    return fd;
}

bool IsUdp(const std::vector<unsigned char>& frame) {
    return frame.size() >= 34 && frame[12] == 0x08 && frame[13] == 0x00 && frame[23] == IPPROTO_UDP;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s IFACE_A IFACE_B DELAY_MS UDP_LOSS_PERCENT SEED\n", argv[0]);
        return 2;
    }
    const int sides[2] = {OpenSide(argv[1]), OpenSide(argv[2])};
    const auto delay = std::chrono::milliseconds(std::atoi(argv[3]));
    std::bernoulli_distribution lost(std::atof(argv[4]) / 100.0);
    std::mt19937 random(static_cast<std::mt19937::result_type>(std::strtoul(argv[5], nullptr, 10)));
    std::signal(SIGTERM, [](int) { stopping = 1; });
    std::signal(SIGINT, [](int) { stopping = 1; });

    std::deque<Frame> line;  // one delay for all, so the oldest is due first
    unsigned long passed = 0, dropped = 0;
    while (!stopping) {
        int wait = -1;
        if (!line.empty()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(line.front().due - Clock::now());
            wait = static_cast<int>(std::max<long>(0, left.count()));
        }
        pollfd polled[2] = {{sides[0], POLLIN, 0}, {sides[1], POLLIN, 0}};
        if (poll(polled, 2, wait) < 0) continue;
        for (int side = 0; side < 2; ++side) {
            // An interface that went (its namespace removed) ends the line.
            if (polled[side].revents & (POLLERR | POLLHUP | POLLNVAL)) stopping = 1;
            if (!(polled[side].revents & POLLIN)) continue;
            std::vector<unsigned char> bytes(65536);
            sockaddr_ll from{};
            socklen_t length = sizeof from;
            const ssize_t got = recvfrom(sides[side], bytes.data(), bytes.size(), 0,
                                         reinterpret_cast<sockaddr*>(&from), &length);
            // What this relay sent itself comes back as outgoing: not again.
            if (got <= 0 || from.sll_pkttype == PACKET_OUTGOING) continue;
            bytes.resize(static_cast<std::size_t>(got));
            if (IsUdp(bytes) && lost(random)) {
                ++dropped;
                continue;
            }
            line.push_back({Clock::now() + delay, 1 - side, std::move(bytes)});
        }
        for (const auto now = Clock::now(); !line.empty() && line.front().due <= now; line.pop_front()) {
            send(sides[line.front().to], line.front().bytes.data(), line.front().bytes.size(), 0);
            ++passed;
        }
    }
    std::fprintf(stderr, "relay: %lu frames passed, %lu UDP datagrams dropped\n", passed, dropped);
    return 0;
}
