#include "simhost_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "base/command_line.h"
#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::tools {

const char* const kSimhostUsage =
    "Usage: tarnwick-simhost (--airport ICAO [--work WORK] | --center LAT,LON) [--session NAME]\n"
    "                        [--max-players N] [--aircraft N] [--address A] [--port P]\n"
    "                        [--seconds S] [--leave-after S] [--refuse] [--migrate-host] [--id-key K]\n"
    "                        [--log FILE] [--application GUID] [--map-ports]\n"
    "\n"
    "Hosts a DirectPlay 4 session over TCP/IP that FS2002 and Tarnwick can find and join, and flies\n"
    "simulated pilots in it around an airport: they answer the FS2002 join, identification and\n"
    "aircraft requests, report their positions four times a second and chat now and then.\n"
    "\n"
    "  --airport ICAO     fly around this airport of the work folder's databases, on its longest runway\n"
    "  --work WORK        the work folder with the databases (default: the current directory)\n"
    "  --center LAT,LON   fly around this point instead, on a runway laid out there\n"
    "  --session NAME     the session's name (default: \"Tarnwick demo\")\n"
    "  --max-players N    the session's player limit, the pilots included (default: 16)\n"
    "  --aircraft N       simulated aircraft, the host's included (default: 6 to 12)\n"
    "  --address A        the IPv4 address to listen on (default: all interfaces)\n"
    "  --port P           the enumeration port, UDP and TCP (default: 47624); 0 lets the system pick\n"
    "                     it and the session's ports, instead of TCP 2300-2349 and UDP 2350-2399\n"
    "  --seconds S        stop after S seconds (default: run until interrupted)\n"
    "  --leave-after S    after S seconds the host announces that it leaves (MsgHostLeft), leaves\n"
    "                     the session with all its pilots, and the tool ends\n"
    "  --refuse           answer join requests from outside with MsgJoinRefuse\n"
    "  --migrate-host     flag the session MIGRATEHOST: when the host leaves, the machine whose system\n"
    "                     player has the lowest id takes over and the session goes on\n"
    "  --id-key K         the key the session's player ids are XORed with, e.g. 0xC3A17C0D or a decimal\n"
    "                     number (default: random over all 32 bits, so that about half the sessions\n"
    "                     have ids with the top bit set, which every part of a client must take)\n"
    "  --log FILE         write every message received, system and game, decoded, as JSON lines\n"
    "  --application GUID the DirectPlay application GUID of the session (default: Tarnwick's demo);\n"
    "                     a client that searches for another application's sessions does not see it\n"
    "  --map-ports        ask the home router (UPnP) to open the enumeration port (UDP and TCP) and the\n"
    "                     session's TCP and UDP ports on the same numbers, for hosting from behind it;\n"
    "                     what it opened is told on standard error, and closed again at the end\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "The first line on standard output names the ports, e.g.\n"
    "  listening enumeration=UDP/TCP 127.0.0.1:47624 session=TCP:2300,UDP:2350\n"
    "DirectPlay's notes (machines joining and leaving, messages dropped) go to standard error.\n"
    "\n"
    "Exit status:\n"
    "  0  the time ran out, the host left or the tool was interrupted\n"
    "  1  the session could not be opened (ports taken, airport not found, log not writable)\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-simhost --address 127.0.0.1 --work work --airport KSEA --aircraft 8\n";

namespace {

// 0x followed by hexadecimal digits, or a decimal number.
std::optional<std::uint32_t> IdKey(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? std::string_view(text).substr(2) : std::string_view(text);
    std::uint32_t key = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), key, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return key;
}

constexpr std::int64_t kLongestRun = 7 * 86400;

}  // namespace

SimhostOptions ParseSimhostCommandLine(const CommandArguments& args) {
    SimhostOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--refuse" || arg == "--migrate-host" || arg == "--map-ports") {
            (arg == "--refuse"      ? options.Refuse
             : arg == "--map-ports" ? options.MapPorts
                                    : options.MigrateHost) = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "'");
        const std::string& value = OptionValue(args, i);
        const auto bad = [&] { throw UsageError("bad value '" + value + "' for " + arg); };
        if (arg == "--session") {
            if (value.empty()) bad();
            options.SessionName = value;
        } else if (arg == "--max-players") {
            const auto n = WholeNumber<std::uint32_t>(value, 2, 65535);
            if (!n) bad();
            options.MaxPlayers = *n;
        } else if (arg == "--aircraft") {
            const auto n = WholeNumber<int>(value, 1, 1000);
            if (!n) bad();
            options.Aircraft = *n;
        } else if (TakeAreaOption(arg, value, options.Area)) {
            continue;
        } else if (arg == "--address") {
            const auto ip = directplay::ParseIp(value);
            if (!ip) bad();
            options.Address = *ip;
        } else if (arg == "--port") {
            const auto port = WholeNumber<std::uint16_t>(value, 0, 65535);
            if (!port) bad();
            options.Port = *port;
        } else if (arg == "--seconds" || arg == "--leave-after") {
            const auto seconds = WholeNumber<std::int64_t>(value, 0, kLongestRun);
            if (!seconds) bad();
            (arg == "--seconds" ? options.Seconds : options.LeaveAfter) = std::chrono::seconds(*seconds);
        } else if (arg == "--id-key") {
            options.IdKey = IdKey(value);
            if (!options.IdKey) bad();
        } else if (arg == "--application") {
            options.Application = directplay::ParseGuid(value);
            if (!options.Application) bad();
        } else if (arg == "--log") {
            if (value.empty()) bad();
            options.LogFile = value;
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    RequireOneArea(options.Area);
    if (options.Aircraft >= static_cast<int>(options.MaxPlayers))
        throw UsageError("--aircraft must leave room below --max-players for someone to join");
    // The default of 6 to 12 aircraft must fit a small session as well.
    if (options.Aircraft == 0 && options.MaxPlayers <= 12)
        options.Aircraft = static_cast<int>(options.MaxPlayers) - 1;
    return options;
}

}  // namespace tarnwick::tools
