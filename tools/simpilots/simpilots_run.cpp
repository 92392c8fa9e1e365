#include "simpilots_run.h"

#include <cstdio>
#include <ctime>
#include <fstream>

#include "base/ansi.h"
#include "base/json_writer.h"
#include "multiplayer/directplay/steady_clock.h"
#include "multiplayer/hosting/pilot_machines.h"
#include "multiplayer/tcpip/host_address.h"

namespace tarnwick::tools {
namespace {

using directplay::Millis;

constexpr Millis kTurn{50};
// Long enough for the last DELETEPLAYER messages to leave on every connection.
constexpr Millis kFarewell{2000};

void Problem(const std::string& text) { std::fprintf(stderr, "tarnwick-simpilots: %s\n", text.c_str()); }

}  // namespace

int FlyPilots(const SimpilotsOptions& options, TrafficSimulatorSetup traffic, const StopSignals& stop) {
    std::ofstream log;
    if (options.LogFile) {
        log.open(*options.LogFile, std::ios::trunc);
        if (!log) {
            Problem("cannot write the log file '" + *options.LogFile + "'");
            return 1;
        }
    }
    const auto hostIp = ResolveHostAddress(options.Host);
    if (!hostIp) {
        Problem("cannot find the computer '" + options.Host + "'");
        return 1;
    }
    const directplay::SteadyClock clock;
    const Millis start = clock.Now();
    PilotMachinesSetup setup;
    setup.HostIp = *hostIp;
    setup.EnumerationPort = options.Port;
    setup.SessionName = Utf8ToAnsi(options.SessionName).value_or(options.SessionName);
    setup.Addresses = options.Addresses;
    setup.SystemPorts = options.SystemPorts;
    setup.Note = [&](std::uint32_t address, const std::string& note) {
        if (!log.is_open()) {
            std::fprintf(stderr, "tarnwick-simpilots: %s: %s\n", directplay::IpText(address).c_str(),
                         AnsiToUtf8(note).c_str());
            return;
        }
        JsonWriter json(false);
        json.BeginObject().Key("time").Number(static_cast<double>((clock.Now() - start).count()) / 1000.0);
        json.Key("machine").Utf8(directplay::IpText(address)).Key("note").Ansi(note).EndObject();
        log << json.Text() << '\n';
        log.flush();  // the log is read while the pilots fly
    };
    PilotMachines machines(setup, clock);
    if (!machines.FindSession()) {
        Problem("no session" + (options.SessionName.empty() ? "" : " named '" + options.SessionName + "'") +
                " answered at " + options.Host + ":" + std::to_string(options.Port));
        return 1;
    }

    traffic.Aircraft = options.Aircraft;
    traffic.HostElsewhere = true;
    traffic.ArrivalsOnly = true;
    traffic.Seed = static_cast<std::uint64_t>(std::time(nullptr)) ^ static_cast<std::uint64_t>(start.count());
    std::optional<TrafficSimulator> simulator;
    try {
        simulator.emplace(machines, std::move(traffic));
    } catch (const SessionError& error) {
        Problem(error.what());
        return 1;
    }
    // Refused pilots are named, and the others fly on.
    const auto tellRefused = [&] {
        for (const RefusedPilot& pilot : simulator->TakeRefused())
            std::printf("refused %s: %s\n", AnsiToUtf8(pilot.Name).c_str(), AnsiToUtf8(pilot.Reason).c_str());
        std::fflush(stdout);
    };
    const std::size_t joined = machines.Count();
    if (joined == 0) {
        tellRefused();
        Problem("no pilot's machine could join the session");
        return 1;
    }
    // The machines that joined have the first addresses: a refused one's went to the next.
    std::printf("joined %zu machines at %s-%s\n", joined,
                directplay::IpText(options.Addresses.front()).c_str(),
                directplay::IpText(options.Addresses[joined - 1]).c_str());
    tellRefused();

    bool left = false;
    bool vanished = false;
    for (;;) {
        machines.Turn(kTurn);
        const Millis now = clock.Now();
        simulator->Advance(now);
        const auto due = [&](const std::optional<std::chrono::seconds>& after, bool& done) {
            if (done || !after || now - start < *after) return false;
            done = true;
            return true;
        };
        const auto tell = [](const char* what, const std::optional<PilotMachines::Departure>& departure) {
            if (departure)
                std::printf("%s %s player %d\n", what, directplay::IpText(departure->Address).c_str(),
                            departure->Player);
        };
        if (due(options.LeaveAfter, left)) tell("left", machines.LeaveOne());
        if (due(options.VanishAfter, vanished)) tell("vanished", machines.VanishOne());
        tellRefused();
        if ((options.Seconds && now - start >= *options.Seconds) || stop.Asked()) break;
    }
    machines.LeaveAll(kFarewell);
    return 0;
}

}  // namespace tarnwick::tools
