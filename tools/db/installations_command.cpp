// tarnwick-db installations: the FS2002 folders the setup window offers, found
// in the Wine prefixes of this user by the same search.
#include <chrono>
#include <cstdio>

#include "base/command_line.h"
#include "base/json_writer.h"
#include "commands.h"
#include "scenery/fs_installations.h"

namespace tarnwick::tools {

namespace {

// Folder entries looked at between looks at the clock.
constexpr std::size_t kEntriesPerStep = 4096;

}  // namespace

int RunInstallations(const Arguments& args) {
    bool json = false;
    int seconds = kInstallationSearchSeconds;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--seconds") {
            const auto value = WholeNumber(OptionValue(args, i), 1, 86400);
            if (!value) throw UsageError("--seconds takes a whole number from 1 to 86400");
            seconds = *value;
        } else {
            throw UsageError("installations takes [--json] [--seconds N]");
        }
    }

    InstallationSearch search(InstallationPlacesFromEnvironment());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (search.Advance(kEntriesPerStep) && std::chrono::steady_clock::now() < deadline) {
    }

    if (json) {
        JsonWriter out;
        out.BeginArray();
        for (const FsInstallation& found : search.Found()) {
            out.BeginObject();
            out.Key("Folder").Utf8(found.Folder.string());
            out.Key("Prefix").Utf8(found.Prefix.string());
            out.Key("FoundBy").Utf8(FoundByName(found.How));
            out.EndObject();
        }
        out.EndArray();
        std::printf("%s\n", out.Text().c_str());
    } else {
        for (const FsInstallation& found : search.Found()) std::printf("%s\n", found.Folder.string().c_str());
    }
    if (!search.Done()) {
        std::fprintf(stderr,
                     "tarnwick-db installations: stopped looking after %d s (%zu folder entries seen); "
                     "--seconds N looks longer\n",
                     seconds, search.EntriesSeen());
    }
    return 0;
}

}  // namespace tarnwick::tools
