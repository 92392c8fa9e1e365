#include "simhost_run.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <vector>

#include "multiplayer/demo/demo_session.h"
#include "multiplayer/directplay/posix_runner.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/hosting/directplay_hosted_session.h"
#include "multiplayer/hosting/observed_directplay_host.h"
#include "multiplayer/hosting/session_message_log.h"
#include "multiplayer/tcpip/port_mapper.h"

namespace tarnwick::tools {
namespace {

using namespace directplay;

constexpr Millis kTurn{50};
// Long enough for the last DELETEPLAYER messages to leave on every connection.
constexpr Millis kFarewell{500};

// Router mappings lapse soon after the host is gone, and are renewed well before.
constexpr std::uint32_t kLeaseSeconds = 120;
constexpr Millis kRenewal{40000};

void Note(const std::string& text) { std::fprintf(stderr, "tarnwick-simhost: %s\n", text.c_str()); }

// The host's ports opened on the home router while it runs: the enumeration
// port and the session's ports, each on its own number outside.
class RouterPorts {
   public:
    RouterPorts(std::uint16_t enumeration, std::uint16_t tcp, std::uint16_t udp, Millis now)
        : mapper_(HomeRouterPortMapper()) {
        nextRenewal_ = now + kRenewal;
        if (!mapper_) {
            Note("this build asks no router for ports (it was made without libminiupnpc)");
            return;
        }
        for (const PortMappingRequest& request :
             {PortMappingRequest{enumeration, enumeration, kLeaseSeconds, "tarnwick-simhost enumeration"},
              PortMappingRequest{tcp, udp, kLeaseSeconds, "tarnwick-simhost session"}}) {
            // The tool may wait for the router before the session opens.
            const PortMappingResult result = mapper_->Map(request).get();
            if (!result.Mapped) {
                Note("router ports not opened. " + RouterAdvice(result, true));
                continue;
            }
            Note(MappingSummary(request, result));
            mapped_.push_back(request);
        }
    }
    ~RouterPorts() {
        for (const PortMappingRequest& request : mapped_) mapper_->Unmap(request);
    }
    RouterPorts(const RouterPorts&) = delete;
    RouterPorts& operator=(const RouterPorts&) = delete;

    void Renew(Millis now) {
        if (now < nextRenewal_) return;
        nextRenewal_ = now + kRenewal;
        // The answers are not waited for: a lapsed mapping shows as pilots
        // that cannot join.
        for (const PortMappingRequest& request : mapped_) mapper_->Map(request);
    }

   private:
    std::shared_ptr<PortMapper> mapper_;
    std::vector<PortMappingRequest> mapped_;
    Millis nextRenewal_{0};
};

HostConfig ConfigOf(const SimhostOptions& options, std::uint64_t seed) {
    HostConfig config;
    config.session_name = options.SessionName;
    config.max_players = options.MaxPlayers;
    config.application = options.Application.value_or(ParseGuid(kDemoApplicationGuid).value_or(Guid{}));
    config.enumeration_port = options.Port;
    if (options.Port == 0) {
        config.peer.tcp_ports = {0, 0};
        config.peer.udp_ports = {0, 0};
    }
    config.seed = seed;
    config.id_key = options.IdKey;
    if (options.MigrateHost) config.session_flags |= session_flags::kMigrateHost;
    return config;
}

}  // namespace

int ServeSession(const SimhostOptions& options, TrafficSimulatorSetup traffic, const StopSignals& stop) {
    std::ofstream log;
    if (options.LogFile) {
        log.open(*options.LogFile, std::ios::trunc);
        if (!log) {
            Note("cannot write the log file '" + *options.LogFile + "'");
            return 1;
        }
    }
    const SteadyClock clock;
    const Millis start = clock.Now();
    const auto logLine = [&](const std::string& line) {
        if (!log.is_open()) return;
        log << line << '\n';
        log.flush();  // the log is read while the session runs
    };

    const auto seed =
        static_cast<std::uint64_t>(std::time(nullptr)) ^ static_cast<std::uint64_t>(start.count());
    ObservedDirectPlayHost host(ConfigOf(options, seed), clock,
                                [&](const Origin& origin, const SystemFrame& frame) {
                                    logLine(SystemMessageLogLine(clock.Now() - start, origin, frame));
                                });
    PosixRunner runner(host, clock, options.Address);
    const auto handleEvents = [&](DirectPlayHostedSession* served) {
        for (auto& event : runner.TakeEvents()) {
            if (const auto* message = std::get_if<action::Deliver>(&event)) {
                logLine(GameMessageLogLine(clock.Now() - start, *message,
                                           [&](PlayerId id) { return host.PlayerName(id); }));
                if (served) served->Deliver(*message);
            } else if (const auto* note = std::get_if<action::Log>(&event)) {
                Note(note->text);
            } else if (const auto* created = std::get_if<action::PlayerCreated>(&event)) {
                Note("player " + std::to_string(ProgramPlayerId(created->id)) + " '" + created->name +
                     "' joined");
            } else if (const auto* destroyed = std::get_if<action::PlayerDestroyed>(&event)) {
                Note("player " + std::to_string(ProgramPlayerId(destroyed->id)) + " left");
            }
        }
    };

    host.Start();
    runner.PollOnce(Millis{0});
    handleEvents(nullptr);
    if (!host.Running()) return 1;
    // Mapped before the host says it listens, so that whoever waits for that
    // line finds the router's ports open too.
    std::unique_ptr<RouterPorts> routerPorts;
    if (options.MapPorts)
        routerPorts = std::make_unique<RouterPorts>(runner.EnumerationPort().value_or(options.Port),
                                                    host.TcpPort(), host.UdpPort(), clock.Now());
    const std::string address = IpText(options.Address);
    std::printf("listening enumeration=UDP/TCP %s:%u session=TCP:%u,UDP:%u\n", address.c_str(),
                static_cast<unsigned>(runner.EnumerationPort().value_or(0)),
                static_cast<unsigned>(host.TcpPort()), static_cast<unsigned>(host.UdpPort()));
    std::fflush(stdout);

    traffic.Seed = seed;
    DirectPlayHostedSession served(host);
    TrafficSimulator simulator(served, std::move(traffic));
    Note("session '" + options.SessionName + "' open with " + std::to_string(simulator.Pilots().size()) +
         " aircraft");

    bool hostLeaves = false;
    for (;;) {
        runner.PollOnce(kTurn);
        handleEvents(&served);
        const Millis now = clock.Now();
        simulator.Advance(now);
        if (routerPorts) routerPorts->Renew(now);
        if (options.LeaveAfter && now - start >= *options.LeaveAfter) {
            hostLeaves = true;
            break;
        }
        if ((options.Seconds && now - start >= *options.Seconds) || stop.Asked()) break;
    }

    // The host's pilots leave; after --leave-after they say so first, as an
    // FS2002 host does.
    if (hostLeaves) {
        Note("the host leaves the session");
        simulator.HostLeaves();
    }
    host.Leave();
    for (const Millis end = clock.Now() + kFarewell; clock.Now() < end;) {
        runner.PollOnce(Millis{10});
        handleEvents(nullptr);
    }
    return 0;
}

}  // namespace tarnwick::tools
