#pragma once
// Runs a DirectPlay state machine on plain POSIX sockets: non-blocking, one
// poll() per turn, no threads. It carries out the machine's socket actions and
// feeds it what the sockets bring; every other action is handed to the caller.
// Used by the command-line tools and the loopback tests; the windows use a Qt
// adapter over the same machine instead. Many runners can share one poll(),
// for a tool that runs hundreds of machines in one process.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct pollfd;

#include "multiplayer/directplay/peer_driver.h"
#include "multiplayer/directplay/session_peer.h"

namespace tarnwick::directplay {

class PosixRunner final : public PeerDriver {
   public:
    // bind_ip: the local address to bind, outgoing connections included (0 =
    // all interfaces, outgoing connections from the address the route gives).
    PosixRunner(SessionPeer& peer, const Clock& clock, std::uint32_t bind_ip);
    ~PosixRunner() override;
    PosixRunner(const PosixRunner&) = delete;
    PosixRunner& operator=(const PosixRunner&) = delete;

    // Carries out pending actions, waits up to `timeout` for the sockets or
    // the machine's next deadline, feeds the machine and runs its timers.
    void PollOnce(Millis timeout);
    // One turn for several machines: one poll() over all their sockets.
    static void PollAll(std::span<PosixRunner* const> runners, Millis timeout);
    // Actions that are not about sockets (sessions found, joined, messages...).
    std::vector<Action> TakeEvents() override { return std::exchange(events_, {}); }
    // PollOnce, but without waiting once there are events.
    void Pump(Millis max_wait) override;
    bool Sending() const override;
    // The enumeration port actually bound (for a host asked for port 0).
    std::optional<std::uint16_t> EnumerationPort() const { return enumerationPort_; }

   private:
    struct Stream {
        int fd = -1;
        bool connecting = false;
        bool closing = false;
        std::vector<std::uint8_t> out;
    };
    // Where a polled descriptor belongs: a connection, or 0 for a fixed socket.
    struct Polled {
        PosixRunner* runner;
        ConnectionId connection;
    };
    void RunActions();
    void AddPolled(std::vector<pollfd>& fds, std::vector<Polled>& owners);
    void HandlePolled(const pollfd& polled, ConnectionId connection);
    void Perform(Action& action);
    void OpenSockets(const action::OpenSockets& request);
    // Binds the enumeration port on UDP and TCP; whether the UDP socket is bound.
    bool OpenEnumeration(std::uint16_t port);
    void Connect(const action::Connect& request);
    void Flush(ConnectionId id, Stream& stream);
    void Drop(ConnectionId id, bool tell_peer);
    void ReadStream(ConnectionId id, Stream& stream);
    void ReadDatagrams(int fd);
    void AcceptOn(int fd);
    void CloseAll();

    SessionPeer& peer_;
    const Clock& clock_;
    std::uint32_t bindIp_;
    int tcpListener_ = -1;
    int udpSocket_ = -1;
    int enumerationUdp_ = -1;
    int enumerationTcp_ = -1;
    std::optional<std::uint16_t> enumerationPort_;
    std::map<ConnectionId, Stream> streams_;
    std::vector<Action> events_;
};

}  // namespace tarnwick::directplay
