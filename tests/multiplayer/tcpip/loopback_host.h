#pragma once
// A DirectPlay session host in the test's own process, on 127.0.0.1 and ports
// the system picks, with one simulated pilot and the FS-style group. It runs
// only when polled: DriversWithHost polls it on every turn of the client's
// driver, so a join needs no threads. Host and client share a clock the test
// can move ahead. With `answering`, its pilot answers as an FS2002 host would:
// it accepts joins and identifies itself when asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "multiplayer/directplay/host_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/tcpip/directplay_transport.h"
#include "support/directplay_test_client.h"
#include "support/socket_time.h"

namespace tarnwick::testing {

class LoopbackHost {
   public:
    explicit LoopbackHost(std::uint32_t session_flags = 0, std::optional<std::uint32_t> id_key = {})
        : host(Config(session_flags, id_key), *clock), runner(host, *clock, directplay::kLoopbackAddress) {
        host.Start();
        Poll();
        pilot = host.CreateLocalPlayer("Sim One");
        group = host.CreateGroup(kRefuseParamsGroup);
    }

    void Poll(directplay::Millis wait = directplay::Millis{0}) {
        runner.PollOnce(wait);
        for (auto& event : runner.TakeEvents()) {
            if (const auto* message = std::get_if<directplay::action::Deliver>(&event); message && answering)
                Answer(*message);
            events.push_back(std::move(event));
        }
    }

    template <typename T>
    std::vector<T> Events() const {
        return EventsOfKind<T>(events);
    }

    // A client on 127.0.0.1 that asks this host, with short waits.
    directplay::ClientConfig ClientConfig() const {
        directplay::ClientConfig config;
        config.peer.tcp_ports = {0, 0};
        config.peer.udp_ports = {0, 0};
        config.enumeration_port = runner.EnumerationPort().value_or(0);
        config.enumeration_time = directplay::Millis{300};
        config.enumeration_repeat = directplay::Millis{100};
        config.reply_timeout = directplay::Millis{1500};
        config.name_table_timeout = directplay::Millis{1500};
        return config;
    }

    std::shared_ptr<JumpingClock> clock = std::make_shared<JumpingClock>();
    directplay::DirectPlayHost host;
    directplay::PosixRunner runner;
    std::vector<directplay::Action> events;
    directplay::PlayerId pilot = 0;
    directplay::PlayerId group = 0;
    // Cleared to let the host fall silent (its sockets stay open).
    bool running = true;
    bool answering = false;

   private:
    void Answer(const directplay::action::Deliver& message) {
        const GameMessage received = DecodeGameMessage(message.payload);
        const auto sender = static_cast<std::int32_t>(message.from);
        if (std::holds_alternative<MsgJoinRequest>(received))
            host.SendGameMessage(pilot, message.from, Encode(MsgJoinAccept{sender}), true);
        if (std::holds_alternative<MsgIdentifyRequest>(received))
            host.SendGameMessage(pilot, message.from, Encode(MsgJoinAccept{static_cast<std::int32_t>(pilot)}),
                                 true);
    }

    static directplay::HostConfig Config(std::uint32_t session_flags, std::optional<std::uint32_t> id_key) {
        directplay::HostConfig config;
        config.peer.tcp_ports = {0, 0};
        config.peer.udp_ports = {0, 0};
        config.enumeration_port = 0;
        config.session_name = "Loopback";
        config.session_flags = session_flags;
        config.id_key = id_key;
        return config;
    }
};

// A POSIX driver for the client that runs the host on every turn.
class DriverWithHost final : public directplay::PeerDriver {
   public:
    DriverWithHost(directplay::SessionPeer& peer, const directplay::Clock& clock, LoopbackHost& host)
        : own_(peer, clock, directplay::kLoopbackAddress), host_(host) {}
    void Pump(directplay::Millis max_wait) override {
        if (host_.running) host_.Poll();
        own_.Pump(std::min(max_wait, directplay::Millis{5}));
        if (host_.running) host_.Poll();
    }
    std::vector<directplay::Action> TakeEvents() override { return own_.TakeEvents(); }
    bool Sending() const override { return own_.Sending(); }

   private:
    directplay::PosixRunner own_;
    LoopbackHost& host_;
};

inline DirectPlayTransportOptions TransportOptionsFor(LoopbackHost& host) {
    DirectPlayTransportOptions options;
    options.Client = host.ClientConfig();
    options.Clock = host.clock;
    options.Driver = [&host](directplay::SessionPeer& peer, const directplay::Clock& clock) {
        return std::make_unique<DriverWithHost>(peer, clock, host);
    };
    return options;
}

inline ProviderPrompt Answer(std::optional<std::string> answer) {
    return [answer](const ProviderQuestion&) { return answer; };
}

// Runs the operation the transport started last to its end, answering its
// question with `prompt`, and `between` its steps; its failure is thrown.
// False when the sockets took longer than the deadline.
inline bool Complete(
    SessionTransport& transport, const ProviderPrompt& prompt = {},
    const std::function<void()>& between = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }) {
    for (const auto end = SocketDeadlineFromNow(); std::chrono::steady_clock::now() < end; between()) {
        const Progress progress = transport.Advance();
        if (progress == Progress::Finished) return true;
        if (progress == Progress::Asking)
            transport.Answer(prompt ? prompt(transport.Question()) : std::nullopt);
    }
    return false;
}

// The same for the connection window's search or join, from the outcome of
// its start: every message it gave, or nothing when the sockets took longer
// than the deadline.
inline std::optional<std::vector<UserMessage>> Complete(SessionConnection& connection,
                                                        ConnectionOutcome started,
                                                        const ProviderPrompt& prompt = {}) {
    std::vector<UserMessage> messages = std::move(started.Messages);
    for (const auto end = SocketDeadlineFromNow(); std::chrono::steady_clock::now() < end;) {
        ConnectionOutcome outcome;
        if (const auto& question = connection.Question()) {
            outcome = connection.Answer(prompt ? prompt(*question) : std::nullopt);
        } else if (!connection.Stepping()) {
            return messages;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            outcome = connection.Step();
        }
        messages.insert(messages.end(), outcome.Messages.begin(), outcome.Messages.end());
    }
    return std::nullopt;
}

// The sessions a search at `address` finds, the connection set up first.
inline std::vector<SessionDescription> Locate(SessionTransport& transport, const std::string& address) {
    transport.StartInitializeConnection(1);
    EXPECT_TRUE(Complete(transport, Answer(address)));
    transport.StartEnumerateSessions();
    EXPECT_TRUE(Complete(transport));
    return transport.FoundSessions();
}

}  // namespace tarnwick::testing
