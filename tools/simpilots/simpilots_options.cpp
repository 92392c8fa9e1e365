#include "simpilots_options.h"

#include "multiplayer/directplay/wire_basics.h"

namespace tarnwick::tools {

const char* const kSimpilotsUsage =
    "Usage: tarnwick-simpilots --connect HOST [--port P] [--session NAME] --aircraft N\n"
    "                          (--airport ICAO [--work WORK] | --center LAT,LON)\n"
    "                          [--addresses FIRST-LAST] [--system-ports] [--seconds S]\n"
    "                          [--leave-after S] [--vanish-after S] [--log FILE]\n"
    "\n"
    "Joins N simulated FS2002 pilots to a DirectPlay 4 session over TCP/IP, each as a machine of its\n"
    "own, as in a real FS2002 session: its own system player, TCP listener and UDP port, on a\n"
    "loopback address of its own. Each pilot asks the session's host to join, as FS2002 does, and\n"
    "once accepted flies an ILS arrival to the area's longest runway from about 30 nm out, reports\n"
    "its position four times a second and answers identification and aircraft requests. Pilots that\n"
    "have landed leave and others join. All machines run in this one process; they never contact\n"
    "one another, so every other machine of the session sees each of them as a machine of its own.\n"
    "\n"
    "  --connect HOST       the session's host: a name or IPv4 address\n"
    "  --port P             the host's DirectPlay enumeration port (default: 47624)\n"
    "  --session NAME       join the session with this name (default: the first found)\n"
    "  --aircraft N         pilots, and so machines, at a time (1 to 1000)\n"
    "  --airport ICAO       fly to this airport of the work folder's databases\n"
    "  --work WORK          the work folder with the databases (default: the current directory)\n"
    "  --center LAT,LON     fly to this point instead, on a runway laid out there\n"
    "  --addresses F-L      the machines' addresses, one machine on each (default:\n"
    "                       127.0.0.2-127.0.3.254); every 127.x.y.z is this computer on Linux\n"
    "  --system-ports       let the system pick each machine's ports instead of TCP 2300-2349 and\n"
    "                       UDP 2350-2399 (for tests)\n"
    "  --seconds S          stop after S seconds, every machine leaving the session\n"
    "                       (default: run until interrupted)\n"
    "  --leave-after S      after S seconds the machine that joined first leaves, as FS2002 does\n"
    "  --vanish-after S     after S seconds the machine that joined first closes its sockets without\n"
    "                       a word, as a crashed simulator or Wine's DirectPlay does\n"
    "  --log FILE           write what each machine notes, one JSON object a line:\n"
    "                       {\"time\", \"machine\", \"note\"} (default: standard error, as text)\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "The first line on standard output says how many machines joined, e.g.\n"
    "  joined 100 machines at 127.0.0.2-127.0.0.101\n"
    "and a line follows for each pilot the session refuses (a full session, or a host that refuses\n"
    "the join request), the others flying on, e.g.\n"
    "  refused N123AB: a pilot's machine could not join: The host refused the join: the session is\n"
    "  full or closed to new players.\n"
    "and for each machine that leaves or vanishes when told to, e.g.\n"
    "  vanished 127.0.0.2 player -1931426910\n"
    "\n"
    "Exit status:\n"
    "  0  the time ran out or the tool was interrupted, with at least one machine joined\n"
    "  1  no session was found, no machine could join, or the log is not writable\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-simpilots --connect 127.0.0.1 --aircraft 100 --work work --airport KSEA\n";

namespace {

constexpr std::int64_t kLongestRun = 7 * 86400;
constexpr std::uint32_t kMostAddresses = 65536;

// "FIRST-LAST", both dotted IPv4, FIRST not after LAST.
std::optional<std::vector<std::uint32_t>> AddressRange(const std::string& text) {
    const auto dash = text.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto first = directplay::ParseIp(text.substr(0, dash));
    const auto last = directplay::ParseIp(text.substr(dash + 1));
    if (!first || !last || *last < *first || *last - *first >= kMostAddresses) return std::nullopt;
    std::vector<std::uint32_t> addresses;
    for (std::uint32_t ip = *first; ip <= *last; ++ip) addresses.push_back(ip);
    return addresses;
}

}  // namespace

SimpilotsOptions ParseSimpilotsCommandLine(const CommandArguments& args) {
    SimpilotsOptions options;
    bool connect = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--system-ports") {
            options.SystemPorts = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "'");
        const std::string& value = OptionValue(args, i);
        const auto bad = [&] { throw UsageError("bad value '" + value + "' for " + arg); };
        if (TakeAreaOption(arg, value, options.Area)) continue;
        if (arg == "--connect") {
            if (value.empty()) bad();
            options.Host = value;
            connect = true;
        } else if (arg == "--port") {
            const auto port = WholeNumber<std::uint16_t>(value, 1, 65535);
            if (!port) bad();
            options.Port = *port;
        } else if (arg == "--session") {
            options.SessionName = value;
        } else if (arg == "--aircraft") {
            const auto n = WholeNumber<int>(value, 1, 1000);
            if (!n) bad();
            options.Aircraft = *n;
        } else if (arg == "--addresses") {
            auto addresses = AddressRange(value);
            if (!addresses) bad();
            options.Addresses = std::move(*addresses);
        } else if (arg == "--seconds" || arg == "--leave-after" || arg == "--vanish-after") {
            const auto seconds = WholeNumber<std::int64_t>(value, 0, kLongestRun);
            if (!seconds) bad();
            auto& field = arg == "--seconds"       ? options.Seconds
                          : arg == "--leave-after" ? options.LeaveAfter
                                                   : options.VanishAfter;
            field = std::chrono::seconds(*seconds);
        } else if (arg == "--log") {
            if (value.empty()) bad();
            options.LogFile = value;
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (!connect) throw UsageError("give the session's host with --connect HOST");
    if (options.Aircraft == 0) throw UsageError("give the number of pilots with --aircraft N");
    RequireOneArea(options.Area);
    if (options.Addresses.empty()) options.Addresses = *AddressRange("127.0.0.2-127.0.3.254");
    if (static_cast<std::size_t>(options.Aircraft) > options.Addresses.size())
        throw UsageError("--addresses gives fewer addresses than --aircraft asks for machines");
    return options;
}

}  // namespace tarnwick::tools
