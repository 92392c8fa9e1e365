// tarnwick-db: looks into and builds the program's databases without windows.
#include <cstdio>
#include <exception>
#include <string>

#include "base/command_line.h"
#include "base/program_version.h"
#include "commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const tarnwick::tools::Arguments&);
};

constexpr Command kCommands[] = {
    {"build", tarnwick::tools::RunBuild},     {"dump", tarnwick::tools::RunDump},
    {"list", tarnwick::tools::RunList},       {"area", tarnwick::tools::RunArea},
    {"render", tarnwick::tools::RunRender},   {"hover", tarnwick::tools::RunHover},
    {"measure", tarnwick::tools::RunMeasure}, {"installations", tarnwick::tools::RunInstallations},
};

constexpr const char* kHelp =
    "Usage: tarnwick-db COMMAND ARGUMENTS...\n"
    "Builds and looks into Tarnwick's work folder (atc_settings.tcs, world_airports.dat,\n"
    "world_airspaces.dat) without windows, through the program's own code.\n"
    "\n"
    "Commands:\n"
    "  build FS_FOLDER [WORK_FOLDER]\n"
    "      build the settings and both databases from an FS2002 folder, as the first run does\n"
    "      (WORK_FOLDER: the current directory by default)\n"
    "  dump WORK_FOLDER\n"
    "      print the settings and both databases as JSON\n"
    "  list WORK_FOLDER [--airports | --sectors]\n"
    "      print the airport and sector lists of the choice window\n"
    "  area WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\")\n"
    "      gather an area as the choice window does, as JSON\n"
    "  render WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\") [--zoom L]\n"
    "         [--size WxH] [--center LAT,LON] [--traffic FILE.json | --traffic-log FILE --at T]\n"
    "         [--aids LIST] [aid values] [--calls] [--out FILE.png]\n"
    "      draw the scope of an area as the radar window draws it (by tarnwick-render, whose\n"
    "      --help tells the radar aids' options)\n"
    "  hover WORK_FOLDER (--airport ... | --sector ...) [render's view, traffic and aids options]\n"
    "        --at X,Y\n"
    "      the information box and highlight for the pointer at a pixel, as JSON\n"
    "  measure WORK_FOLDER (--airport ... | --sector ...) [render's view, traffic and aids options]\n"
    "          --from X,Y --to X,Y\n"
    "      the drawing calls of one measuring-line move\n"
    "  installations [--json] [--seconds N]\n"
    "      the FS2002 folders in this user's Wine prefixes ($WINEPREFIX, ~/.wine, winetricks,\n"
    "      Bottles, Lutris, PlayOnLinux, CrossOver, Steam), one a line, as the setup window\n"
    "      offers them; --json: a list of objects with Folder, Prefix and FoundBy (registry or\n"
    "      search); the search stops after N seconds (default 30)\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the files could not be built or read (damaged input is reported after the output),\n"
    "     or the area asked for is not in the databases\n"
    "  2  bad arguments\n"
    "\n"
    "Example:\n"
    "  tarnwick-mkscenery demo/FS2002 && tarnwick-db build \"$PWD/demo/FS2002\" demo\n";

int Run(const tarnwick::tools::Arguments& args) {
    if (args.empty()) throw tarnwick::UsageError("no command");
    const std::string& name = args[0];
    for (const Command& command : kCommands) {
        if (name != command.name) continue;
        try {
            return command.run(tarnwick::tools::Arguments(args.begin() + 1, args.end()));
        } catch (const tarnwick::UsageError&) {
            throw;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "tarnwick-db %s: %s\n", command.name, error.what());
            return 1;
        }
    }
    throw tarnwick::UsageError("unknown command '" + name + "'");
}

}  // namespace

int main(int argc, char* argv[]) {
    const tarnwick::ProgramAbout about{"tarnwick-db", kHelp, tarnwick::kProgramVersion,
                                       tarnwick::kProgramCommit};
    return tarnwick::RunCommandLine(about, argc, argv, Run);
}
