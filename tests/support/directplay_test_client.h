#pragma once
// Our DirectPlay client on real sockets on a loopback address (127.0.0.1
// unless told), on ports the system picks, for tests that join a host (ours
// in-process, or tarnwick-simhost).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/game/messages.h"

namespace tarnwick::testing {

// The events of one kind, in order.
template <typename T>
std::vector<T> EventsOfKind(const std::vector<directplay::Action>& events) {
    std::vector<T> out;
    for (const auto& event : events)
        if (const auto* e = std::get_if<T>(&event)) out.push_back(*e);
    return out;
}

// Makes the machine: our client, or one that does part of its work otherwise.
using TestClientMaker = std::function<std::unique_ptr<directplay::DirectPlayClient>(
    const directplay::ClientConfig&, const directplay::Clock&)>;

class DirectPlayTestClient {
   public:
    // `eachTurn` runs between two turns of the client, e.g. a host in the same
    // process; the client's sockets are bound to `address`.
    DirectPlayTestClient(std::uint16_t enumerationPort, std::function<void()> eachTurn = {},
                         std::uint32_t address = directplay::kLoopbackAddress,
                         const TestClientMaker& make = {});

    // Runs until `done` or the sockets' deadline; whether `done` came true.
    bool RunUntil(const std::function<bool()>& done);
    // One turn without waiting, for a test that runs several machines.
    void Turn();
    // Finds the session at `hostIp` and joins it with a visible player.
    bool Join(const std::string& playerName, std::uint32_t hostIp = directplay::kLoopbackAddress);
    // A game message from our player to everyone: by TCP, or by UDP as
    // FS2002 sends its position reports.
    void Send(const MessageBytes& message, bool guaranteed = true);
    // Deletes our players everywhere; what was sent before goes out first.
    void Leave();

    template <typename T>
    std::vector<T> Got() const {
        return EventsOfKind<T>(events_);
    }
    // Whether an FS2002 message of this type came.
    bool GotGame(std::int32_t type) const;

    directplay::DirectPlayClient& Client() { return *client_; }
    const directplay::Clock& Clock() const { return clock_; }

   private:
    directplay::SteadyClock clock_;
    std::unique_ptr<directplay::DirectPlayClient> client_;
    std::optional<directplay::PosixRunner> runner_;
    std::function<void()> eachTurn_;
    std::vector<directplay::Action> events_;
};

}  // namespace tarnwick::testing
