#pragma once
// Simulated pilots as real FS2002 sessions have them: each its own DirectPlay
// machine, with its own system player, TCP listener and UDP port, bound to a
// loopback address of its own. All of them run on one poll() in this process,
// so hundreds fit. Toward the traffic simulator they are one hosted session
// whose players are the machines' visible players: adding a player joins a
// new machine, removing one makes it leave.
//
// The machines never contact one another (PeerConfig::ignored): they have
// nothing to say to each other, and a mesh of hundreds in one process would
// need a connection per pair. Every machine outside, the host and the
// controllers included, sees each of them as a machine of its own.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/hosted_session.h"

namespace tarnwick {

struct PilotMachinesSetup {
    std::uint32_t HostIp = 0;  // where the session is searched for
    std::uint16_t EnumerationPort = directplay::kEnumerationPort;
    std::string SessionName;  // Windows-1252; empty: the first session found
    // The machines' addresses, one machine on each at a time.
    std::vector<std::uint32_t> Addresses;
    // Ports the system picks, instead of TCP 2300-2349 and UDP 2350-2399.
    bool SystemPorts = false;
    // What the machines note (joins, host changes, lost sessions, DirectPlay's
    // notes), with the address of the machine; UTF-8.
    std::function<void(std::uint32_t address, const std::string& note)> Note;
};

class PilotMachines final : public HostedSession {
   public:
    PilotMachines(PilotMachinesSetup setup, const directplay::Clock& clock);
    ~PilotMachines() override;
    PilotMachines(const PilotMachines&) = delete;
    PilotMachines& operator=(const PilotMachines&) = delete;

    // Looks for the session; false when none answered (the reason is noted).
    bool FindSession();

    // Joins a new machine with a visible player of this name; SessionError
    // when no address is free or the join fails.
    std::int32_t AddPlayer(const std::string& friendlyName) override;
    // The player's machine leaves the session.
    void RemovePlayer(std::int32_t player) override;
    // The session's groups are the host's; a pilot makes none.
    std::int32_t AddGroup(const std::string& name) override;
    // Dropped when the machine has vanished or lost its session.
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::optional<ReceivedMessage> Receive(std::int32_t player) override;

    // One turn of every machine: waits up to `wait` for their sockets.
    void Turn(directplay::Millis wait);
    // A machine that went on request.
    struct Departure {
        std::uint32_t Address = 0;
        std::int32_t Player = 0;
    };
    // The longest-joined machine still there closes its sockets without a
    // word, as a crashed simulator does, or leaves as FS2002 does; nothing
    // when no machine is left.
    std::optional<Departure> VanishOne() { return DepartOne(false); }
    std::optional<Departure> LeaveOne() { return DepartOne(true); }
    // Every machine leaves; true once the last messages have gone out.
    bool LeaveAll(directplay::Millis wait);
    // Machines in the session.
    std::size_t Count() const;

   private:
    struct Machine;
    std::optional<Departure> DepartOne(bool leaveFirst);
    Machine* Find(std::int32_t player) const;
    Machine* Oldest() const;
    std::optional<std::uint32_t> FreeAddress() const;
    // The session as the machines know it now: after host migration it is
    // found at the new host.
    directplay::SessionInfo CurrentSession() const;
    void Absorb(Machine& machine, directplay::Action& event);
    void Drop(Machine& machine, bool leaveFirst);

    PilotMachinesSetup setup_;
    const directplay::Clock& clock_;
    std::optional<directplay::SessionInfo> session_;
    std::deque<std::unique_ptr<Machine>> machines_;
    // Where the machines listen, or listened, to tell them apart from outside
    // machines: one that went is no more worth a try to the others.
    std::set<directplay::Endpoint> listeners_;
};

}  // namespace tarnwick
