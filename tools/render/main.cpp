// tarnwick-render: draws one scope picture of an area without windows, the
// way the radar window draws it after opening, for bug reports and scripts.
// It needs Qt for the PNG, so it is a program of its own; `tarnwick-db render`
// runs it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "radar/qt_painter_canvas.h"
#include "radar/recording_canvas.h"
#include "radar/scope_redraw.h"
#include "selection/gather_area.h"
#include "state/program_state.h"
#include "world_loading.h"

namespace tarnwick {
namespace {

constexpr const char* kUsage =
    "usage: tarnwick-db render WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\")\n"
    "                          [--zoom L] [--size WxH] [--center LAT,LON] [--calls] [--out FILE.png]\n";

struct RenderOptions {
    std::string WorkFolder;
    std::optional<AreaChoice> Choice;
    int Zoom = kMinZoomLevel + kInitialZoomSteps;
    int Width = 800;
    int Height = 600;
    std::optional<GeoPosition> Center;
    bool Calls = false;
    std::string Out;
};

class UsageError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

bool ParseInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < -1000000 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseDouble(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

std::string Ansi(const std::string& utf8, const char* what) {
    const std::optional<std::string> ansi = Utf8ToAnsi(utf8);
    if (!ansi) throw UsageError(std::string(what) + " has characters Windows-1252 cannot hold");
    return *ansi;
}

RenderOptions Parse(const std::vector<std::string>& args) {
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--airport" || arg == "--sector") {
            if (options.Choice) throw UsageError("give one of --airport and --sector");
            options.Choice = AreaChoice{arg == "--airport" ? AreaChoiceKind::Airport : AreaChoiceKind::Sector,
                                        Ansi(value(), arg.c_str())};
        } else if (arg == "--zoom") {
            if (!ParseInt(value(), options.Zoom) || options.Zoom < kMinZoomLevel ||
                options.Zoom > kMaxZoomLevel) {
                throw UsageError("--zoom takes a level from 1 to 55");
            }
        } else if (arg == "--size") {
            const std::string& size = value();
            const std::size_t x = size.find('x');
            if (x == std::string::npos || !ParseInt(size.substr(0, x), options.Width) ||
                !ParseInt(size.substr(x + 1), options.Height) || options.Width < 1 || options.Height < 1 ||
                options.Width > 16384 || options.Height > 16384) {
                throw UsageError("--size takes WIDTHxHEIGHT in pixels, 1 to 16384 each");
            }
        } else if (arg == "--center") {
            const std::string& center = value();
            const std::size_t comma = center.find(',');
            GeoPosition position;
            if (comma == std::string::npos || !ParseDouble(center.substr(0, comma), position.Lat) ||
                !ParseDouble(center.substr(comma + 1), position.Lon)) {
                throw UsageError("--center takes LAT,LON in decimal degrees");
            }
            options.Center = position;
        } else if (arg == "--calls") {
            options.Calls = true;
        } else if (arg == "--out") {
            options.Out = value();
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else if (options.WorkFolder.empty()) {
            options.WorkFolder = arg;
        } else {
            throw UsageError("more than one work folder");
        }
    }
    if (options.WorkFolder.empty()) throw UsageError("no work folder");
    if (!options.Choice) throw UsageError("give --airport or --sector");
    return options;
}

// Loads and gathers as the choice window does; false when the choice is unknown.
bool GatherFromWorkFolder(ProgramState& state, const RenderOptions& options) {
    const tools::WorldLoad load = tools::LoadWorld(options.WorkFolder, state, true);
    for (const std::string& problem : load.Problems) {
        std::fprintf(stderr, "tarnwick-db render: %s\n", problem.c_str());
    }
    SelectionState selection = SelectionOf(state);
    return GatherArea(selection, *options.Choice) == GatherOutcome::Gathered;
}

// The view as the radar window opens it, moved and zoomed as asked.
RadarView MakeView(const ProgramState& state, const RenderOptions& options) {
    RadarView view;
    InitializeView(view, options.Width, options.Height, state.Area.AreaCenterLat, state.Area.AreaCenterLon);
    if (options.Center) Center_Airport(view, options.Center->Lon, options.Center->Lat);
    while (view.ZoomLevel < options.Zoom && ZoomInStep(view)) {
    }
    while (view.ZoomLevel > options.Zoom && ZoomOutStep(view)) {
    }
    return view;
}

int Run(int argc, char* argv[]) {
    const RenderOptions options = Parse(std::vector<std::string>(argv + 1, argv + argc));
    ProgramState state;
    if (!GatherFromWorkFolder(state, options)) {
        std::fprintf(stderr, "tarnwick-db render: no %s named \"%s\" in the databases\n",
                     options.Choice->Kind == AreaChoiceKind::Airport ? "airport" : "ARTCC/FIR sector",
                     AnsiToUtf8(options.Choice->Text).c_str());
        return 1;
    }
    SwitchOnAtRadarLoad(state.Display);
    const RadarView view = MakeView(state, options);

    RecordingCanvas recording;
    const HoverTarget nothingHovered;
    const ScopeContext scope{recording,
                             view,
                             state.Area,
                             state.Display,
                             *state.Declination,
                             nothingHovered,
                             {state.Session.Traffic, state.Session.OwnPlayerId, {}}};
    RedrawScope(scope);
    DrawTraffic(scope);

    if (options.Calls) {
        for (const RecordedCall& call : recording.Calls()) {
            const std::string line = FormatCall(call);
            if (!line.empty()) std::printf("%s\n", line.c_str());
        }
    }
    if (!options.Out.empty()) {
        // Text needs fonts, and fonts need a GUI application, even off screen.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int appArgc = 1;
        QGuiApplication application(appArgc, argv);
        QImage image(options.Width, options.Height, QImage::Format_RGB32);
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, options.Width, options.Height);
        canvas.Clear();
        recording.Replay(canvas);
        painter.end();
        if (!image.save(QString::fromStdString(options.Out), "PNG")) {
            std::fprintf(stderr, "tarnwick-db render: cannot write %s\n", options.Out.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char* argv[]) {
    try {
        return tarnwick::Run(argc, argv);
    } catch (const tarnwick::UsageError& error) {
        std::fprintf(stderr, "tarnwick-db render: %s\n%s", error.what(), tarnwick::kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnwick-db render: %s\n", error.what());
        return 1;
    }
}
