#pragma once
// Where the program works, from its command line. Without options it works in
// the folder it is started in, as it always has; the desktop menu starts it in
// a folder of its own.
#include <filesystem>
#include <optional>
#include <string>

#include "base/command_line.h"

namespace tarnwick {

enum class WorkPlace {
    Current,  // the folder the program is started in
    Folder,   // --work DIR
    Own,      // --desktop: the program's own folder
    Demo,     // --demo: the demo folder inside the program's own folder
};

struct StartOptions {
    WorkPlace Place = WorkPlace::Current;
    std::string Folder;  // for WorkPlace::Folder
    // --replay FILE: a recorded session to replay, as given.
    std::string Replay;
};

// Throws UsageError for anything else than one of --work DIR, --desktop,
// --demo, with or without --replay FILE.
StartOptions ParseStartOptions(const CommandArguments& args);

// The program's own folder: XDG_DATA_HOME/tarnwick, or HOME/.local/share/tarnwick
// when XDG_DATA_HOME is unset, empty or relative (relative ones are ignored,
// as the XDG base directory rules say). Null arguments stand for unset
// variables; nothing when neither gives an absolute folder.
std::optional<std::filesystem::path> OwnWorkFolder(const char* xdgDataHome, const char* home);

// The demo's folder inside the program's own folder.
std::filesystem::path DemoWorkFolder(const std::filesystem::path& ownFolder);

}  // namespace tarnwick
