// tarnwick-render: draws one scope picture of an area without windows, the
// way the radar window draws it after opening, for bug reports and scripts.
// It needs Qt for the PNG, so it is a program of its own; `tarnwick-db render`
// runs it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "radar/qt_painter_canvas.h"
#include "radar/recording_canvas.h"
#include "radar/scope_redraw.h"
#include "scope_options.h"

namespace tarnwick {
namespace {

using tools::UsageError;

constexpr const char* kCommand = "tarnwick-db render";

void PrintUsage() {
    std::fprintf(stderr, "usage: tarnwick-db render %s\n              [--calls] [--out FILE.png]\n",
                 tools::kScopeOptionsUsage);
}

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
            options.Out = tools::OptionValue(args, i);
        } else {
            throw UsageError("unknown option " + args[i]);
        }
    }
    RequireScopeOptions(options.Scope);
    return options;
}

int Run(int argc, char* argv[]) {
    const RenderOptions options = Parse(std::vector<std::string>(argv + 1, argv + argc));
    const auto prepared = tools::PrepareScope(options.Scope, kCommand);
    const ProgramState& state = prepared->State;
    const bool damaged = prepared->Damaged;

    // One periodic redraw of the radar window, with nothing under the pointer.
    RecordingCanvas recording;
    const HoverTarget nothingHovered;
    const ScopeContext scope{recording,          prepared->View, state.Area,         state.Display,
                             *state.Declination, nothingHovered, prepared->Traffic()};
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
        // Text needs fonts, and fonts need a GUI application, even off screen.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int appArgc = 1;
        QGuiApplication application(appArgc, argv);
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
    try {
        return tarnwick::Run(argc, argv);
    } catch (const tarnwick::tools::UsageError& error) {
        std::fprintf(stderr, "%s: %s\n", tarnwick::kCommand, error.what());
        tarnwick::PrintUsage();
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", tarnwick::kCommand, error.what());
        return 1;
    }
}
