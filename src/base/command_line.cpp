#include "base/command_line.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick {

std::string VersionLine(const ProgramAbout& about) {
    std::string line = about.Name + " (Tarnwick) " + about.Version;
    if (!about.Commit.empty()) line += " (git " + about.Commit + ")";
    return line;
}

std::optional<int> AnswerHelpOrVersion(const ProgramAbout& about, const CommandArguments& args) {
    if (args.empty()) return std::nullopt;
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(about.Help.c_str(), stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("%s\n", VersionLine(about).c_str());
        return 0;
    }
    return std::nullopt;
}

int ReportUsageError(const ProgramAbout& about, const std::string& message) {
    // One line, even when an argument quoted in the message holds line breaks.
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "%s: %s (%s --help shows the usage)\n", about.Name.c_str(), line.c_str(),
                 about.Name.c_str());
    return kBadArgumentsStatus;
}

int RunCommandLine(const ProgramAbout& about, int argc, const char* const* argv,
                   const std::function<int(const CommandArguments&)>& body) {
    const CommandArguments args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (const std::optional<int> answered = AnswerHelpOrVersion(about, args)) return *answered;
    try {
        return body(args);
    } catch (const UsageError& error) {
        return ReportUsageError(about, error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", about.Name.c_str(), error.what());
        return kFailureStatus;
    }
}

const std::string& OptionValue(const CommandArguments& args, std::size_t& i) {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}

}  // namespace tarnwick
