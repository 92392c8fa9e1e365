#pragma once
// What the scope commands (render, hover, measure) share: the area, the view
// and the traffic they are asked for, and the scope made from them the way the
// radar window makes it after opening.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "multiplayer/session_connection.h"
#include "radar/aids/scope_aids.h"
#include "radar/radar_view.h"
#include "selection/gather_area.h"
#include "state/program_state.h"
#include "traffic/scope_traffic.h"

namespace tarnwick::tools {

// The options every scope command takes, as the usage line shows them.
inline constexpr const char* kScopeOptionsUsage =
    "WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\") [--zoom L] [--size WxH]\n"
    "              [--center LAT,LON] [--traffic FILE.json | --traffic-log FILE --at T [--nickname N]]\n"
    "              [--aids LIST] [aid values]";

// The help text of the traffic log and the aids' options, for the commands' help.
extern const char* const kAidsOptionsHelp;

struct ScopeOptions {
    std::string WorkFolder;
    std::optional<AreaChoice> Choice;
    int Zoom = kMinZoomLevel + kInitialZoomSteps;
    int Width = 800;
    int Height = 600;
    std::optional<GeoPosition> Center;
    std::string TrafficFile;
    // A session's tables as tarnwick-session --json prints them, and the time to draw.
    std::string TrafficLog;
    std::optional<double> AtSeconds;
    std::string Nickname = kDefaultNickname;  // Windows-1252
    RadarAids Aids;
};

// Takes args[i] (and the value after it) when it is the work folder or a
// shared option; false for an option of the command's own. Throws UsageError.
bool TakeScopeArgument(const std::vector<std::string>& args, std::size_t& i, ScopeOptions& options);
// After parsing: the work folder and the area must be given, and the traffic
// log with its time.
void RequireScopeOptions(const ScopeOptions& options);

// "X,Y" in picture pixels.
ScreenPoint ParsePixel(const std::string& text, const std::string& option);

struct PreparedScope {
    ProgramState State;
    RadarView View;
    std::string OwnName;   // Windows-1252
    bool Damaged = false;  // a file could not be read as it should
    RadarAids Aids;
    // The tools draw one pass: labels are placed afresh, nothing is pointed at.
    ScopeAids AidsInForce{Aids, State.Session.Motion};

    ScopeTraffic Traffic() const {
        return {State.Session.Traffic, State.Session.OwnPlayerId, OwnName, ShownBand(Aids)};
    }
};

// Loads and gathers as the choice window does (load problems go to standard
// error), switches the layers on as the radar window's load does, reads the
// traffic (and its motion from a log), and opens the view on the area, moved
// and zoomed as asked. Throws
// std::runtime_error when the area is not in the databases or the traffic
// file is unusable.
std::unique_ptr<PreparedScope> PrepareScope(const ScopeOptions& options, const char* command);

}  // namespace tarnwick::tools
