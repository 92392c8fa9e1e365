#pragma once
// The traffic simulator's session served on the network: its host and pilots
// are the local players of a DirectPlay host, and their messages travel as
// DirectPlay game messages to the machines that joined.
//
// DirectPlay hands every machine one copy of a message to all players or to a
// group; this class fans such copies out to the local players concerned, and
// delivers what local players send each other without the network.
#include <cstdint>
#include <deque>
#include <map>

#include "multiplayer/directplay/host_session.h"
#include "multiplayer/hosted_session.h"
#include "multiplayer/tcpip/directplay_ids.h"

namespace tarnwick {

class DirectPlayHostedSession final : public HostedSession {
   public:
    explicit DirectPlayHostedSession(directplay::DirectPlayHost& host) : host_(host) {}

    std::int32_t AddPlayer(const std::string& friendlyName) override;
    void RemovePlayer(std::int32_t player) override;
    std::int32_t AddGroup(const std::string& name) override;
    // To a player of another machine that has left, the message is dropped,
    // as DirectPlay drops what reaches a machine after its player left.
    void Send(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message) override;
    std::optional<ReceivedMessage> Receive(std::int32_t player) override;

    // A game message the host received from another machine.
    void Deliver(const directplay::action::Deliver& message);

   private:
    void Queue(std::int32_t from, std::int32_t to, std::span<const std::uint8_t> message);
    bool IsGroupMember(std::int32_t group, std::int32_t player) const;

    directplay::DirectPlayHost& host_;
    std::map<std::int32_t, std::deque<ReceivedMessage>> queues_;  // one per local player
};

}  // namespace tarnwick
