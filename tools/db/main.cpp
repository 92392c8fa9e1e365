// tarnwick-db: looks into and builds the program's databases without windows.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const tarnwick::tools::Arguments&);
};

constexpr Command kCommands[] = {
    {"build",
     "build FS_FOLDER [WORK_FOLDER]\n"
     "                              build the settings and both databases from an FS2002 folder",
     tarnwick::tools::RunBuild},
    {"dump", "dump WORK_FOLDER            print the settings and both databases as JSON",
     tarnwick::tools::RunDump},
    {"list",
     "list WORK_FOLDER [--airports | --sectors]\n"
     "                              print the airport and sector lists of the choice window",
     tarnwick::tools::RunList},
    {"area",
     "area WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\")\n"
     "                              gather an area as the choice window does, as JSON",
     tarnwick::tools::RunArea},
    {"render",
     "render WORK_FOLDER (--airport \"LIST TEXT\" | --sector \"FULL NAME\") [--zoom L]\n"
     "              [--size WxH] [--center LAT,LON] [--traffic FILE.json] [--calls] [--out FILE.png]\n"
     "                              draw the scope of an area as the radar window draws it",
     tarnwick::tools::RunRender},
    {"hover",
     "hover WORK_FOLDER (--airport ... | --sector ...) [render's view and traffic options] --at X,Y\n"
     "                              the information box and highlight for the pointer at a pixel, as JSON",
     tarnwick::tools::RunHover},
    {"measure",
     "measure WORK_FOLDER (--airport ... | --sector ...) [render's view and traffic options]\n"
     "              --from X,Y --to X,Y\n"
     "                              the drawing calls of one measuring-line move",
     tarnwick::tools::RunMeasure},
};

void PrintUsage() {
    std::fprintf(stderr, "usage: tarnwick-db COMMAND ...\n\ncommands:\n");
    for (const Command& command : kCommands) std::fprintf(stderr, "  %s\n", command.usage);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    const std::string name = argv[1];
    for (const Command& command : kCommands) {
        if (name == command.name) {
            try {
                return command.run(tarnwick::tools::Arguments(argv + 2, argv + argc));
            } catch (const std::exception& error) {
                std::fprintf(stderr, "tarnwick-db %s: %s\n", command.name, error.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "tarnwick-db: unknown command '%s'\n", name.c_str());
    PrintUsage();
    return 2;
}
