#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/demo_work_folder.h"
#include "app/qt_message_boxes.h"
#include "app/qt_window_flow.h"
#include "app/start_options.h"
#include "base/command_line.h"
#include "base/program_folders.h"
#include "base/program_version.h"
#include "radar/aids/qt_radar_aids_store.h"
#include "state/program_state.h"

namespace {

constexpr const char* kHelp =
    "Usage: tarnwick [--work DIR | --desktop | --demo] [--replay FILE]\n"
    "An air-traffic-control radar for Microsoft Flight Simulator 2002 multiplayer sessions.\n"
    "Tarnwick keeps its three files (atc_settings.tcs, world_airports.dat, world_airspaces.dat)\n"
    "in its work folder: the folder it is started in, unless an option names another. When any\n"
    "of them is missing it asks for the FS2002 folder and builds the databases from its scenery.\n"
    "\n"
    "Options:\n"
    "  --work DIR  work in DIR, made when missing (for several simulator setups)\n"
    "  --desktop   work in Tarnwick's own folder, $XDG_DATA_HOME/tarnwick (by default\n"
    "              ~/.local/share/tarnwick), made on first use; the desktop menu starts it so\n"
    "  --demo      work in the demo folder inside Tarnwick's own folder (demo/): its simulator\n"
    "              folder of the Seattle region and the databases built from it are made when\n"
    "              missing, so the start leads straight to the airport and sector choice; the\n"
    "              connection window then has the demo session found and picked: \"Join Session\"\n"
    "  --replay FILE  after the area's choice, replay the session recorded in FILE (File, \"Record\n"
    "              session...\" in the radar window, or tarnwick-session --record): the connection\n"
    "              window starts \"Replay A Recorded Session\" with FILE offered\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Qt's settings come from its environment variables, such as QT_QPA_PLATFORM=offscreen.\n"
    "\n"
    "Exit status:\n"
    "  0  the program ended normally\n"
    "  1  the work folder could not be made, or the demo could not be prepared\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick --work ~/atc/fs2002-home\n";

// The folder the options name; the problem for the user when there is none.
std::optional<std::filesystem::path> WorkFolderFor(const tarnwick::StartOptions& options,
                                                   std::string& problem) {
    namespace fs = std::filesystem;
    if (options.Place == tarnwick::WorkPlace::Current) return fs::current_path();
    if (options.Place == tarnwick::WorkPlace::Folder) return fs::path(options.Folder);
    const std::optional<fs::path> own =
        tarnwick::OwnWorkFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!own) {
        problem = "Tarnwick cannot find its own folder: neither XDG_DATA_HOME nor HOME names a folder.";
        return std::nullopt;
    }
    if (options.Place == tarnwick::WorkPlace::Own) return *own;
    const fs::path demo = tarnwick::DemoWorkFolder(*own);
    problem = tarnwick::PrepareDemoWorkFolder(demo, tarnwick::ExecutableFolder());
    if (!problem.empty()) return std::nullopt;
    return demo;
}

}  // namespace

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick", kHelp, tarnwick::kProgramVersion,
                                       tarnwick::kProgramCommit};
    const tarnwick::CommandArguments args(argv + 1, argv + argc);
    if (const auto answered = tarnwick::AnswerHelpOrVersion(about, args)) return *answered;
    // Checked before Qt starts, so that a mistyped option needs no display.
    tarnwick::StartOptions options;
    try {
        options = tarnwick::ParseStartOptions(args);
    } catch (const tarnwick::UsageError& error) {
        return tarnwick::ReportUsageError(about, error.what());
    }
    // Qt gets no arguments of its own: its settings come from its environment variables.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    application.setApplicationName("Tarnwick");
    application.setDesktopFileName("tarnwick");

    tarnwick::QtMessageBoxes boxes;
    // Named from the folder the program was started in, before it moves to its work folder.
    std::filesystem::path replay;
    if (!options.Replay.empty()) replay = std::filesystem::absolute(options.Replay);
    std::string problem;
    const std::optional<std::filesystem::path> folder = WorkFolderFor(options, problem);
    std::error_code error;
    if (folder) {
        std::filesystem::create_directories(*folder, error);
        if (!error) std::filesystem::current_path(*folder, error);
        if (error)
            problem = "Tarnwick cannot work in the folder " + folder->string() + ": " + error.message() + ".";
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "tarnwick: %s\n", problem.c_str());
        boxes.Warn(problem);
        return 1;
    }

    tarnwick::ProgramState state;
    state.Aids = tarnwick::LoadRadarAids();
    // The program keeps its files in the folder it works in.
    tarnwick::WindowFlow flow(state, boxes, QDir::currentPath().toStdString());
    flow.SetInstallationPlaces(tarnwick::InstallationPlacesFromEnvironment());
    if (options.Place == tarnwick::WorkPlace::Demo) flow.OfferDemoSessionFirst();
    if (!replay.empty()) flow.OfferReplayFirst(replay);
    flow.ShowSplash();
    return application.exec();
}
