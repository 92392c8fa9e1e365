// tarnwick-render: draws one scope picture of an area without windows, the
// way the radar window draws it after opening, for bug reports and scripts.
// It needs Qt for the PNG, so it is a program of its own; `tarnwick-db render`
// runs it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/program_version.h"
#include "radar/qt_painter_canvas.h"
#include "radar/recording_canvas.h"
#include "radar/scope_redraw.h"
#include "scope_options.h"

namespace tarnwick {
namespace {

// Problems are reported as the command users run, tarnwick-db render.
constexpr const char* kCommand = "tarnwick-db render";

constexpr const char* kUsage =
    "Usage: tarnwick-render WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\") [--zoom L]\n"
    "         [--size WxH] [--center LAT,LON] [--traffic FILE.json | --traffic-log FILE --at T]\n"
    "         [--aids LIST] [aid values] [--calls] [--out FILE.png]\n"
    "Draws the scope of an area as the radar window draws it after opening: the area gathered as\n"
    "the choice window does, at level 9, moved and zoomed as asked, with the traffic on top and\n"
    "the radar aids asked for. tarnwick-db render runs it; it is a program of its own because it\n"
    "needs Qt.\n"
    "\n"
    "Options:\n"
    "  --airport TEXT     the airport with this choice-list text (tarnwick-db list --airports)\n"
    "  --sector NAME      the ARTCC/FIR sector with this name\n"
    "  --zoom L           the zoom level, 1 to 55\n"
    "  --size WxH         the picture's size in pixels (default 800x600)\n"
    "  --center LAT,LON   the view's centre in decimal degrees\n"
    "  --traffic FILE     the traffic table as JSON\n";

constexpr const char* kOwnOptions =
    "  --calls            print every drawing call, one a line\n"
    "  --out FILE.png     write the picture as PNG\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  drawn\n"
    "  1  the area is unknown, an input file is damaged or missing (what could be read is drawn),\n"
    "     or the picture could not be written\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-render demo --airport \"Seattle Tacoma Intl  (KSEA)\" --zoom 12 --out ksea.png\n";

const std::string kHelp = std::string(kUsage) + tools::kAidsOptionsHelp + kOwnOptions;

struct RenderOptions {
    tools::ScopeOptions Scope;
    bool Calls = false;
    std::string Out;
};

RenderOptions Parse(const std::vector<std::string>& args) {
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakeScopeArgument(args, i, options.Scope)) continue;
        if (args[i] == "--calls") {
            options.Calls = true;
        } else if (args[i] == "--out") {
            options.Out = OptionValue(args, i);
        } else {
            throw UsageError("unknown option " + args[i]);
        }
    }
    RequireScopeOptions(options.Scope);
    return options;
}

// Any aid on may write or place text, which the scope font measures.
bool MeasuresText(const RadarAids& aids) {
    return std::any_of(kAidSwitches.begin(), kAidSwitches.end(),
                       [&](const AidSwitch& aid) { return aids.*aid.Field; });
}

int Run(const CommandArguments& args, char* argv[]) {
    const RenderOptions options = Parse(args);
    const auto prepared = tools::PrepareScope(options.Scope, kCommand);
    const ProgramState& state = prepared->State;
    const bool damaged = prepared->Damaged;

    // Text needs fonts, and fonts need a GUI application, even off screen.
    int appArgc = 1;
    std::unique_ptr<QGuiApplication> application;
    if (!options.Out.empty() || MeasuresText(prepared->Aids)) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        application = std::make_unique<QGuiApplication>(appArgc, argv);
    }

    // One periodic redraw of the radar window, with nothing under the pointer,
    // its labels measured as the window measures them.
    RecordingCanvas recording(application ? QtTextMetrics(ScopeFont(QGuiApplication::font()))
                                          : DefaultTextMetrics());
    const HoverTarget nothingHovered;
    const ScopeContext scope{recording,          prepared->View, state.Area,          state.Display,
                             *state.Declination, nothingHovered, prepared->Traffic(), &prepared->AidsInForce};
    RedrawScopeAndTraffic(scope);

    if (options.Calls) {
        for (const RecordedCall& call : recording.Calls()) {
            const std::string line = FormatCall(call);
            if (!line.empty()) std::printf("%s\n", line.c_str());
        }
    }
    if (!options.Out.empty()) {
        const int width = options.Scope.Width;
        const int height = options.Scope.Height;
        QImage image(width, height, QImage::Format_RGB32);
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, width, height);
        canvas.Clear();
        recording.Replay(canvas);
        painter.end();
        if (!image.save(QString::fromStdString(options.Out), "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", kCommand, options.Out.c_str());
            return 1;
        }
    }
    // What could be read is drawn; the damage is reported as area and list report it.
    return damaged ? 1 : 0;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-render", tarnwick::kHelp, tarnwick::kProgramVersion,
                                       tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, [&](const tarnwick::CommandArguments& args) {
        try {
            return tarnwick::Run(args, argv);
        } catch (const tarnwick::UsageError&) {
            throw;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", tarnwick::kCommand, error.what());
            return 1;
        }
    });
}
