// hover and measure: the radar window's pointer handling on a scope made
// without windows, through the same readouts, hover search and measuring line.
#include <cstdio>
#include <exception>

#include "base/json_writer.h"
#include "commands.h"
#include "radar/measuring_line.h"
#include "radar/pointer_readouts.h"
#include "radar/recording_canvas.h"
#include "scope_options.h"

namespace tarnwick::tools {
namespace {

// Stands in for the radar window: the measuring line goes to a recording,
// the rest has nothing to show.
class ToolPointerHost : public PointerHost {
   public:
    ToolPointerHost(const PreparedScope& scope, const HoverTarget& hover) : scope_(scope), hover_(hover) {}

    void SetPeriodicRedraw(bool) override {}
    void CenterOn(double, double) override {}
    void DrawMeasuring(GeoPosition anchor, GeoPosition pointer) override {
        const ProgramState& state = scope_.State;
        const ScopeContext context{recording_,         scope_.View, state.Area,       state.Display,
                                   *state.Declination, hover_,      scope_.Traffic(), &scope_.AidsInForce};
        DrawMeasuringMove(context, anchor, pointer);
    }
    void ShowBox(const std::string&) override {}
    void HideBox() override {}

    const RecordingCanvas& Recording() const { return recording_; }

   private:
    const PreparedScope& scope_;
    const HoverTarget& hover_;
    RecordingCanvas recording_;
};

GeoPosition AtPixel(const RadarView& view, ScreenPoint pixel) { return PictureToGeo(view, pixel.X, pixel.Y); }

template <typename Command>
int RunPointerCommand(const char* name, Command command) {
    const std::string prefix = std::string("tarnwick-db ") + name;
    try {
        return command(prefix);
    } catch (const UsageError& error) {
        // Reported by tarnwick-db in one line, naming the command.
        throw UsageError(std::string(name) + ": " + error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", prefix.c_str(), error.what());
        return 1;
    }
}

void WriteHover(const std::string& text, const HoverTarget& hover) {
    JsonWriter json;
    json.BeginObject();
    json.Key("text").Ansi(text);
    json.Key("hoverTarget");
    if (hover.DesignatesAirspace()) {
        json.BeginObject();
        json.Key("type").Ansi(hover.ClassText);
        json.Key("lat").Number(hover.Lat);
        json.Key("lon").Number(hover.Lon);
        json.EndObject();
    } else {
        json.Null();
    }
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int RunHover(const Arguments& args) {
    return RunPointerCommand("hover", [&](const std::string& prefix) {
        ScopeOptions options;
        std::optional<ScreenPoint> at;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (TakeScopeArgument(args, i, options)) continue;
            if (args[i] != "--at") throw UsageError("unknown option " + args[i]);
            at = ParsePixel(OptionValue(args, i), "--at");
        }
        RequireScopeOptions(options);
        if (!at) throw UsageError("give the pointer's pixel with --at");
        const auto scope = PrepareScope(options, prefix.c_str());

        HoverTarget hover;
        ToolPointerHost host(*scope, hover);
        PointerReadouts readouts(host, hover);
        readouts.PointerMove(AtPixel(scope->View, *at));
        const ProgramState& state = scope->State;
        readouts.HoverTick({scope->View, state.Area, state.Display, scope->Traffic()});
        WriteHover(readouts.BoxText(), hover);
        return 0;
    });
}

int RunMeasure(const Arguments& args) {
    return RunPointerCommand("measure", [&](const std::string& prefix) {
        ScopeOptions options;
        std::optional<ScreenPoint> from;
        std::optional<ScreenPoint> to;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (TakeScopeArgument(args, i, options)) continue;
            if (args[i] == "--from") {
                from = ParsePixel(OptionValue(args, i), "--from");
            } else if (args[i] == "--to") {
                to = ParsePixel(OptionValue(args, i), "--to");
            } else {
                throw UsageError("unknown option " + args[i]);
            }
        }
        RequireScopeOptions(options);
        if (!from || !to) throw UsageError("give the anchor with --from and the pointer with --to");
        const auto scope = PrepareScope(options, prefix.c_str());

        HoverTarget hover;
        ToolPointerHost host(*scope, hover);
        PointerReadouts readouts(host, hover);
        readouts.ButtonDown(kLeftButton, AtPixel(scope->View, *from));
        readouts.PointerMove(AtPixel(scope->View, *to));
        for (const RecordedCall& call : host.Recording().Calls()) {
            const std::string line = FormatCall(call);
            if (!line.empty()) std::printf("%s\n", line.c_str());
        }
        return 0;
    });
}

}  // namespace tarnwick::tools
