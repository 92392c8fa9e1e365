// tarnwick-session: takes part in a multiplayer session without windows, with
// the connection and message handling the windows use, and prints what the
// program learns: the traffic table, the chat and its messages.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/command_line.h"
#include "base/program_version.h"
#include "capture_run.h"
#include "multiplayer/session_connection.h"
#include "selection/choice_lists.h"
#include "selection/gather_area.h"
#include "session_run.h"
#include "world_loading.h"

namespace tarnwick::tools {
namespace {

constexpr const char* kHelp =
    "Usage: tarnwick-session --demo [--airport \"LIST TEXT\" | --sector \"NAME\"] [--work WORK]\n"
    "                        [--nickname N] [--say TEXT] [--seconds S] [--json]\n"
    "       tarnwick-session --connect HOST [--port P] [--session NAME] [--no-port-mapping]\n"
    "                        [--work WORK] [--nickname N] [--say TEXT] [--seconds S] [--json]\n"
    "       tarnwick-session --replay FILE [--work WORK] [--seconds S] [--json]\n"
    "       tarnwick-session --capture FILE.pcap[ng] [--player NAME] [--record OUT]\n"
    "(each may add --record OUT)\n"
    "\n"
    "Joins the built-in demo session around an area, or a real FS2002 session over DirectPlay TCP/IP,\n"
    "as the connection window does, runs the radar window's receive ticks (every 100 ms) and upkeep\n"
    "ticks (every 30 s), and leaves the session at the end. The demo runs on a clock of its own, so\n"
    "that S seconds of session pass at once; a real session takes S seconds.\n"
    "\n"
    "  --demo          the session: \"Demo Session On This Computer\"\n"
    "  --replay FILE   the session: \"Replay A Recorded Session\" of FILE, on a clock of its own as the\n"
    "                  demo runs, until the recording ends (or S seconds)\n"
    "  --capture FILE  read a packet capture of a DirectPlay session (pcap or pcapng), report on standard\n"
    "                  error what it holds (the session, its flags and dialects, the players, every\n"
    "                  message not read, with its place in the file) and, with --record, write it as a\n"
    "                  recording heard by a machine that never spoke\n"
    "  --player NAME   with --capture: record what reached this player's machine, as this player\n"
    "  --record OUT    write what the session sends into OUT, a recording for --replay and for the\n"
    "                  program's replay (see docs/recording.md)\n"
    "  --connect HOST  the session: \"Internet TCP/IP Connection For DirectPlay\" with the host's name\n"
    "                  or IPv4 address (\"\" searches the local network); the host must be able to\n"
    "                  connect back to this computer on TCP 2300-2349 and UDP 2350-2399, so the home\n"
    "                  router is asked (UPnP) to open the ports this computer uses, and what it\n"
    "                  opened is told on standard error\n"
    "  --port P        the host's DirectPlay enumeration port (default: 47624)\n"
    "  --session NAME  join the session with this name (default: the first found)\n"
    "  --no-port-mapping  do not ask the router to open ports (they are forwarded by hand, or\n"
    "                  there is no router)\n"
    "  --airport TEXT  control the airport with this choice-list text (tarnwick-db list --airports);\n"
    "                  without --airport or --sector, the first airport of the list\n"
    "  --sector NAME   control this ARTCC/FIR sector\n"
    "  --work WORK     the work folder with the databases (default: the current directory); a real\n"
    "                  or replayed session needs only its declination grid, for magnetic headings,\n"
    "                  and without one shows them true, saying so once\n"
    "  --nickname N    the program's name in the session (default: \"ATC Controller\")\n"
    "  --say TEXT      send this chat line once joined, as the chat window's Send does\n"
    "  --seconds S     seconds in the session (default: 60)\n"
    "  --json          one JSON object a line: {\"time\", \"traffic\": [entries]}, {\"time\", \"chat\"},\n"
    "                  {\"message\"}\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Prints the traffic table after every receive tick that changed it. Message boxes of the windows\n"
    "go to standard error (and with --json to standard output too), and so do DirectPlay's notes in a\n"
    "real session (machines that leave or vanish, a host that hands over, messages dropped).\n"
    "\n"
    "Exit status:\n"
    "  0  the time ran out in the session, or the replay reached the recording's end\n"
    "  1  the area or the session could not be had, the join was refused, or the session was lost\n"
    "     or closed by its host\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-session --demo --work demo --seconds 120 --json\n";

struct Options {
    bool Demo = false;
    std::optional<std::string> Replay;
    std::optional<std::string> Capture;
    std::string PlayerUtf8;
    bool SecondsGiven = false;
    std::optional<NetworkTarget> Network;
    bool Json = false;
    std::optional<AreaChoice> Area;
    std::string Work = ".";
    SessionRunOptions Run;
};

// Parses the arguments; a UsageError names the first fault.
void Parse(const std::vector<std::string>& args, Options& options) {
    NetworkTarget network;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--demo") {
            options.Demo = true;
        } else if (arg == "--replay" && hasValue && !options.Replay) {
            options.Replay = args[++i];
        } else if (arg == "--capture" && hasValue && !options.Capture) {
            options.Capture = args[++i];
        } else if (arg == "--player" && hasValue) {
            options.PlayerUtf8 = args[++i];
        } else if (arg == "--record" && hasValue && !options.Run.RecordTo) {
            options.Run.RecordTo = args[++i];
        } else if (arg == "--connect" && hasValue && !options.Network) {
            options.Network.emplace();
            options.Network->Host = args[++i];
        } else if (arg == "--port" && hasValue) {
            const std::optional<std::uint16_t> port = WholeNumber<std::uint16_t>(args[++i], 1, 65535);
            if (!port) throw UsageError("--port takes a port number from 1 to 65535");
            network.EnumerationPort = *port;
        } else if (arg == "--session" && hasValue) {
            network.SessionName = args[++i];
        } else if (arg == "--no-port-mapping") {
            network.MapPorts = false;
        } else if (arg == "--json") {
            options.Json = true;
        } else if ((arg == "--airport" || arg == "--sector") && hasValue && !options.Area) {
            const std::optional<std::string> text = Utf8ToAnsi(args[++i]);
            if (!text)
                throw UsageError("'" + args[i] + "' cannot be written in the databases' character set");
            options.Area =
                AreaChoice{arg == "--airport" ? AreaChoiceKind::Airport : AreaChoiceKind::Sector, *text};
        } else if (arg == "--work" && hasValue) {
            options.Work = args[++i];
        } else if (arg == "--nickname" && hasValue) {
            options.Run.NicknameUtf8 = args[++i];
        } else if (arg == "--say" && hasValue) {
            options.Run.SayUtf8 = args[++i];
        } else if (arg == "--seconds" && hasValue) {
            const std::optional<int> seconds = WholeNumber(args[++i], 0, 86400);
            if (!seconds) throw UsageError("--seconds takes a whole number from 0 to 86400");
            options.Run.Duration = std::chrono::seconds(*seconds);
            options.SecondsGiven = true;
        } else {
            throw UsageError("unexpected or incomplete argument '" + arg + "'");
        }
    }
    // One session: the demo, the network, a replay or a capture; the network's options need it.
    if (int{options.Demo} + int{options.Network.has_value()} + int{options.Replay.has_value()} +
            int{options.Capture.has_value()} !=
        1)
        throw UsageError("give one session: --demo, --connect HOST, --replay FILE or --capture FILE");
    if (!options.PlayerUtf8.empty() && !options.Capture) throw UsageError("--player goes with --capture");
    if (options.Replay && !options.SecondsGiven) options.Run.Duration = std::chrono::milliseconds(0);
    if (!options.Network && (network.EnumerationPort != NetworkTarget{}.EnumerationPort ||
                             !network.SessionName.empty() || !network.MapPorts))
        throw UsageError("--port, --session and --no-port-mapping go with --connect");
    if (options.Network) {
        network.Host = options.Network->Host;
        options.Network = network;
    }
}

int Run(const std::vector<std::string>& args) {
    Options options;
    Parse(args, options);
    const SessionOutput out(options.Json);
    options.Run.Source = std::string("tarnwick-session ") + kProgramVersion;
    if (options.Capture) return ReadCapture(*options.Capture, options.PlayerUtf8, options.Run.RecordTo, out);

    ProgramState state;
    // A real or replayed session needs no area, only the declination grid for
    // magnetic headings; without it (no work folder, say) headings stay true,
    // said once, and the rest works.
    if ((options.Replay || options.Network) && !options.Area) {
        if (const std::optional<std::string> note = LoadDeclinationOnly(options.Work, state))
            out.Problem(*note);
        if (options.Replay) return RunReplaySession(state, options.Run, *options.Replay, out);
        return RunNetworkSession(state, options.Run, *options.Network, out);
    }
    const WorldLoad load = LoadWorld(options.Work, state, true);
    for (const std::string& problem : load.Problems) out.Problem(problem);

    SelectionState selection = SelectionOf(state);
    if (!options.Area) {
        const std::vector<std::string> airports = AirportListTexts(selection);
        if (airports.empty()) {
            out.Problem("no airports in the work folder '" + options.Work + "' (see tarnwick-db build)");
            return 1;
        }
        options.Area = AreaChoice{AreaChoiceKind::Airport, airports.front()};
    }
    if (GatherArea(selection, *options.Area) == GatherOutcome::NotFound) {
        out.Problem(std::string("no ") +
                    (options.Area->Kind == AreaChoiceKind::Airport ? "airport with the list text"
                                                                   : "ARTCC/FIR sector named") +
                    " '" + AnsiToUtf8(options.Area->Text) + "' in the databases (see tarnwick-db list)");
        return 1;
    }
    if (options.Network) return RunNetworkSession(state, options.Run, *options.Network, out);
    if (options.Replay) return RunReplaySession(state, options.Run, *options.Replay, out);
    return RunDemoSession(state, options.Run, out);
}

}  // namespace
}  // namespace tarnwick::tools

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-session", tarnwick::tools::kHelp, tarnwick::kProgramVersion,
                                       tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, tarnwick::tools::Run);
}
