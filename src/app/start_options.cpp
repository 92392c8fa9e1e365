#include "app/start_options.h"

namespace tarnwick {

StartOptions ParseStartOptions(const CommandArguments& args) {
    StartOptions options;
    bool chosen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        StartOptions next;
        if (arg == "--replay") {
            options.Replay = OptionValue(args, i);
            if (options.Replay.empty()) throw UsageError("--replay needs a recording");
            continue;
        }
        if (arg == "--work") {
            next.Place = WorkPlace::Folder;
            next.Folder = OptionValue(args, i);
            if (next.Folder.empty()) throw UsageError("--work needs a folder");
        } else if (arg == "--desktop") {
            next.Place = WorkPlace::Own;
        } else if (arg == "--demo") {
            next.Place = WorkPlace::Demo;
        } else {
            throw UsageError("unexpected argument '" + arg + "'");
        }
        if (chosen) throw UsageError("give only one of --work, --desktop and --demo");
        chosen = true;
        next.Replay = options.Replay;
        options = next;
    }
    return options;
}

std::optional<std::filesystem::path> OwnWorkFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && std::filesystem::path(xdgDataHome).is_absolute())
        return std::filesystem::path(xdgDataHome) / "tarnwick";
    if (home != nullptr && std::filesystem::path(home).is_absolute())
        return std::filesystem::path(home) / ".local" / "share" / "tarnwick";
    return std::nullopt;
}

std::filesystem::path DemoWorkFolder(const std::filesystem::path& ownFolder) { return ownFolder / "demo"; }

}  // namespace tarnwick
