#pragma once
// An in-memory network for the DirectPlay state machines: it carries their
// socket actions between them (TCP split into small pieces, UDP whole) and
// keeps every other action for the test to look at.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "multiplayer/directplay/session_peer.h"

namespace tarnwick::directplay::testing {

class FakeClock : public Clock {
   public:
    Millis Now() const override { return now_; }
    void Advance(Millis step) { now_ += step; }

   private:
    Millis now_{1000};
};

class LoopbackNetwork {
   public:
    explicit LoopbackNetwork(FakeClock& clock) : clock_(clock) {}

    // A machine at `ip`; its sockets take the next ports no machine has had,
    // or TCP `tcp_port` and UDP `tcp_port` + 50 when given, as DirectPlay's
    // first ports on a computer of its own.
    void Add(SessionPeer& peer, std::uint32_t ip, std::optional<std::uint16_t> tcp_port = std::nullopt);
    // Runs until no machine has anything left to do.
    void Pump();
    // Advances the clock in steps, running timers and the network.
    void AdvanceBy(Millis time, Millis step = Millis{500});

    // Actions other than socket actions, per machine, in order.
    std::vector<Action>& Events(const SessionPeer& peer) { return events_[&peer]; }
    template <typename T>
    std::vector<T> EventsOf(const SessionPeer& peer) {
        std::vector<T> out;
        for (const auto& a : events_[&peer])
            if (const auto* e = std::get_if<T>(&a)) out.push_back(*e);
        return out;
    }
    // Every system message a machine received, decoded.
    std::vector<SystemMessage> Received(const SessionPeer& peer) const;
    // Refuses inbound TCP connections to this machine (a firewall).
    void BlockInbound(const SessionPeer& peer) { blocked_.insert(&peer); }
    // Drops the messages a machine sends that match.
    void DropFrom(const SessionPeer& peer, std::function<bool(const SystemMessage&)> match) {
        drops_[&peer] = std::move(match);
    }
    // The machine goes without a word, as a crashed program does: its
    // connections close, its ports refuse, and it neither sends nor receives.
    void Vanish(const SessionPeer& peer);
    // The enumeration port a machine that takes over cannot open, until cleared.
    void HoldEnumerationPort(bool held) { enumerationHeld_ = held; }
    // Connections this machine tried to open to the listener.
    int ConnectsTo(const SessionPeer& from, const Endpoint& listener) const;

   private:
    struct Machine {
        SessionPeer* peer = nullptr;
        std::uint32_t ip = 0;
        std::uint16_t tcp = 0;
        std::uint16_t udp = 0;
        std::optional<std::uint16_t> enumeration;
        std::optional<std::uint16_t> fixed_tcp;
    };
    struct Link {
        SessionPeer* peer;
        ConnectionId id;
    };
    Machine* Find(const SessionPeer* peer);
    Machine* Listening(const Endpoint& to, bool tcp);
    void Handle(Machine& from, Action& action);
    bool Dropped(const SessionPeer& from, std::span<const std::uint8_t> bytes, bool datagram) const;

    FakeClock& clock_;
    std::vector<Machine> machines_;
    std::map<std::pair<const SessionPeer*, ConnectionId>, Link> links_;
    std::map<const SessionPeer*, std::vector<Action>> events_;
    std::map<const SessionPeer*, std::vector<std::vector<std::uint8_t>>> received_;
    std::set<const SessionPeer*> blocked_;
    std::set<const SessionPeer*> vanished_;
    bool enumerationHeld_ = false;
    std::map<std::pair<const SessionPeer*, Endpoint>, int> connects_;
    std::map<const SessionPeer*, std::function<bool(const SystemMessage&)>> drops_;
    std::uint16_t nextPort_ = 2300;
    std::uint16_t nextEphemeral_ = 40000;
};

}  // namespace tarnwick::directplay::testing
