#include "scope_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/ansi.h"
#include "traffic_file.h"
#include "world_loading.h"

namespace tarnwick::tools {
namespace {

constexpr int kMaxPictureSide = 16384;
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

}  // namespace

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
