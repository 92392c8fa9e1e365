#include "scope_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "base/ansi.h"
#include "traffic_file.h"
#include "world_loading.h"

namespace tarnwick::tools {
namespace {

constexpr int kMaxPictureSide = 16384;
// A month: longer than any session.
constexpr double kMaxSessionSeconds = 31.0 * 24 * 3600;
constexpr long kMaxPixel = 1000000;

bool ParseInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < -kMaxPixel || parsed > kMaxPixel) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseDouble(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

std::string Ansi(const std::string& utf8, const std::string& what) {
    const std::optional<std::string> ansi = Utf8ToAnsi(utf8);
    if (!ansi) throw UsageError(what + " has characters Windows-1252 cannot hold");
    return *ansi;
}

// "history,vectors" or "none" for --aids, "final,circuit" or "none" for
// --inhibit: the switches named are on, the others of the list off.
void ParseSwitchList(const std::string& option, const std::string& list, std::span<const AidSwitch> switches,
                     RadarAids& aids) {
    for (const AidSwitch& aid : switches) aids.*aid.Field = false;
    if (list == "none") return;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, comma - start);
        const auto aid = std::find_if(switches.begin(), switches.end(),
                                      [&](const AidSwitch& a) { return name == a.Name; });
        if (aid == switches.end()) {
            std::string known;
            for (const AidSwitch& a : switches) known += std::string(known.empty() ? "" : ", ") + a.Name;
            throw UsageError(option + " takes none or a list of " + known + " (not \"" + name + "\")");
        }
        aids.*aid->Field = true;
        start = comma + 1;
    }
}

// An aid's value option: true when args[i] is one.
bool TakeAidValue(const std::vector<std::string>& args, std::size_t& i, RadarAids& aids) {
    const std::string& arg = args[i];
    for (const AidNumber& number : kAidNumbers) {
        if (arg != std::string("--") + number.Name) continue;
        const auto value = WholeNumber<std::int32_t>(OptionValue(args, i), number.Lowest, number.Highest);
        if (!value) {
            throw UsageError(arg + " takes a whole number from " + std::to_string(number.Lowest) + " to " +
                             std::to_string(number.Highest));
        }
        aids.*number.Field = *value;
        return true;
    }
    if (arg != std::string("--") + kConflictDistanceName) return false;
    double distance = 0;
    if (!ParseDouble(OptionValue(args, i), distance) || distance < kLowestConflictDistanceNm ||
        distance > kHighestConflictDistanceNm) {
        throw UsageError(arg + " takes nautical miles from 0.5 to 20");
    }
    aids.ConflictDistanceNm = distance;
    return true;
}

}  // namespace

const char* const kAidsOptionsHelp =
    "  --traffic-log FILE the traffic as a session printed it, tarnwick-session --json's lines; the\n"
    "                     table drawn is the last at or before --at T seconds, and the tables up\n"
    "                     to it give the aircraft's motion, as the radar window's ticks do\n"
    "  --at T             the time in the session to draw, in seconds (hover's --at X,Y is the\n"
    "                     pointer's pixel)\n"
    "  --nickname N       the program's name in that session (default: \"ATC Controller\")\n"
    "  --aids LIST        the radar aids, comma-separated: history, vectors, datablock, labels,\n"
    "                     rings, conflicts, altfilter; or none (the default)\n"
    "  --history-dots N   track history dots, 1 to 10 (default 5)\n"
    "  --history-spacing S  seconds between them, 1 to 12 (default 5)\n"
    "  --vector-minutes M speed vectors' length in minutes of flight, 1 to 3 (default 1)\n"
    "  --ring-spacing NM  range rings' spacing, 1 to 100 (default 5)\n"
    "  --conflict-distance NM  conflict alert's horizontal limit, 0.5 to 20 (default 3)\n"
    "  --conflict-altitude FT  its vertical limit, 100 to 5000 (default 1000)\n"
    "  --conflict-lookahead S  how far ahead it looks, 0 to 300 seconds (default 60)\n"
    "  --inhibit LIST     the pairs the conflict alert leaves out, comma-separated: final (in trail\n"
    "                     on one final), circuit (in an airport's circuit); or none (default: both)\n"
    "  --final-track DEG  both tracks within DEG of the runway's course, 1 to 45 (default 15)\n"
    "  --final-distance NM  both within NM of its threshold, 1 to 30 (default 12)\n"
    "  --final-closing KT closing no faster than KT, 0 to 200 (default 20)\n"
    "  --circuit-radius NM  both within NM of an airport of the area, 1 to 20 (default 5)\n"
    "  --circuit-height FT  both lower than FT above its elevation, 100 to 5000 (default 1500)\n"
    "  --lowest-altitude FT, --highest-altitude FT\n"
    "                     the altitude filter's band, -2000 to 99900 (default 0 to 18000)\n";

ScreenPoint ParsePixel(const std::string& text, const std::string& option) {
    const std::size_t comma = text.find(',');
    int x = 0;
    int y = 0;
    if (comma == std::string::npos || !ParseInt(text.substr(0, comma), x) ||
        !ParseInt(text.substr(comma + 1), y)) {
        throw UsageError(option + " takes X,Y in picture pixels");
    }
    return {x, y};
}

bool TakeScopeArgument(const std::vector<std::string>& args, std::size_t& i, ScopeOptions& options) {
    if (TakeAidValue(args, i, options.Aids)) return true;
    const std::string& arg = args[i];
    if (arg == "--airport" || arg == "--sector") {
        if (options.Choice) throw UsageError("give one of --airport and --sector");
        const std::string& text = OptionValue(args, i);
        options.Choice = AreaChoice{arg == "--airport" ? AreaChoiceKind::Airport : AreaChoiceKind::Sector,
                                    Ansi(text, arg)};
    } else if (arg == "--zoom") {
        if (!ParseInt(OptionValue(args, i), options.Zoom) || options.Zoom < kMinZoomLevel ||
            options.Zoom > kMaxZoomLevel) {
            throw UsageError("--zoom takes a level from 1 to 55");
        }
    } else if (arg == "--size") {
        const std::string& size = OptionValue(args, i);
        const std::size_t x = size.find('x');
        if (x == std::string::npos || !ParseInt(size.substr(0, x), options.Width) ||
            !ParseInt(size.substr(x + 1), options.Height) || options.Width < 1 || options.Height < 1 ||
            options.Width > kMaxPictureSide || options.Height > kMaxPictureSide) {
            throw UsageError("--size takes WIDTHxHEIGHT in pixels, 1 to 16384 each");
        }
    } else if (arg == "--center") {
        const std::string& center = OptionValue(args, i);
        const std::size_t comma = center.find(',');
        GeoPosition position;
        if (comma == std::string::npos || !ParseDouble(center.substr(0, comma), position.Lat) ||
            !ParseDouble(center.substr(comma + 1), position.Lon)) {
            throw UsageError("--center takes LAT,LON in decimal degrees");
        }
        options.Center = position;
    } else if (arg == "--traffic") {
        options.TrafficFile = OptionValue(args, i);
    } else if (arg == "--traffic-log") {
        options.TrafficLog = OptionValue(args, i);
    } else if (arg == "--at" && i + 1 < args.size() && args[i + 1].find(',') == std::string::npos) {
        // A time; hover's pointer pixel, X,Y, is the command's own.
        double seconds = 0;
        if (!ParseDouble(OptionValue(args, i), seconds) || seconds < 0 || seconds > kMaxSessionSeconds) {
            throw UsageError("--at takes seconds into the session");
        }
        options.AtSeconds = seconds;
    } else if (arg == "--nickname") {
        options.Nickname = Ansi(OptionValue(args, i), arg);
    } else if (arg == "--aids") {
        ParseSwitchList(arg, OptionValue(args, i), kAidSwitches, options.Aids);
    } else if (arg == "--inhibit") {
        ParseSwitchList(arg, OptionValue(args, i), kInhibitions, options.Aids);
    } else if (!arg.empty() && arg[0] == '-') {
        return false;
    } else if (options.WorkFolder.empty()) {
        options.WorkFolder = arg;
    } else {
        throw UsageError("more than one work folder");
    }
    return true;
}

void RequireScopeOptions(const ScopeOptions& options) {
    if (options.WorkFolder.empty()) throw UsageError("no work folder");
    if (!options.Choice) throw UsageError("give --airport or --sector");
    if (!options.TrafficFile.empty() && !options.TrafficLog.empty())
        throw UsageError("give one of --traffic and --traffic-log");
    if (options.TrafficLog.empty() != !options.AtSeconds)
        throw UsageError("--traffic-log and --at go together");
    if (options.Aids.LowestAltitudeFt > options.Aids.HighestAltitudeFt)
        throw UsageError("--lowest-altitude is above --highest-altitude");
}

std::unique_ptr<PreparedScope> PrepareScope(const ScopeOptions& options, const char* command) {
    auto scope = std::make_unique<PreparedScope>();
    ProgramState& state = scope->State;
    const WorldLoad load = LoadWorld(options.WorkFolder, state, true);
    for (const std::string& problem : load.Problems)
        std::fprintf(stderr, "%s: %s\n", command, problem.c_str());
    scope->Damaged = !load.Problems.empty();
    SelectionState selection = SelectionOf(state);
    if (GatherArea(selection, *options.Choice) != GatherOutcome::Gathered) {
        throw std::runtime_error(
            std::string("no ") +
            (options.Choice->Kind == AreaChoiceKind::Airport ? "airport" : "ARTCC/FIR sector") + " named \"" +
            AnsiToUtf8(options.Choice->Text) + "\" in the databases");
    }
    SwitchOnAtRadarLoad(state.Display);
    if (!options.TrafficFile.empty()) scope->OwnName = ReadTrafficFile(options.TrafficFile, state.Session);
    if (!options.TrafficLog.empty()) {
        ReadTrafficLog(options.TrafficLog, *options.AtSeconds, options.Nickname, state.Session);
        scope->OwnName = options.Nickname;
    }
    scope->Aids = options.Aids;

    RadarView& view = scope->View;
    InitializeView(view, options.Width, options.Height, state.Area.AreaCenterLat, state.Area.AreaCenterLon);
    if (options.Center) Center_Airport(view, options.Center->Lon, options.Center->Lat);
    while (view.ZoomLevel < options.Zoom && ZoomInStep(view)) {
    }
    while (view.ZoomLevel > options.Zoom && ZoomOutStep(view)) {
    }
    return scope;
}

}  // namespace tarnwick::tools
