#pragma once
// What the command line of every executable shares: --help and --version
// answered the same way, and bad arguments reported in one line with exit
// status 2.
#include <charconv>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

inline constexpr int kBadArgumentsStatus = 2;
// Anything else that stops the program before it has done its work.
inline constexpr int kFailureStatus = 1;

// A fault in the arguments, told in a few words ("--zoom needs a value").
class UsageError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

struct ProgramAbout {
    std::string Name;     // the executable's name, as messages start
    std::string Help;     // usage, options, exit statuses and an example
    std::string Version;  // the project's version
    std::string Commit;   // the git commit of the build; empty outside git
};

using CommandArguments = std::vector<std::string>;

// "NAME (Tarnwick) VERSION", with the commit after it when known.
std::string VersionLine(const ProgramAbout& about);

// When the first argument is --help (or -h) or --version: prints the answer
// to standard output and returns the exit status 0.
std::optional<int> AnswerHelpOrVersion(const ProgramAbout& about, const CommandArguments& args);

// Prints "NAME: MESSAGE (NAME --help shows the usage)" to standard error and
// returns kBadArgumentsStatus.
int ReportUsageError(const ProgramAbout& about, const std::string& message);

// A whole main: answers --help and --version, otherwise runs `body` with the
// arguments after the program's name; a UsageError from it is reported in one
// line with exit status 2, any other error as "NAME: WHAT" with exit status 1.
int RunCommandLine(const ProgramAbout& about, int argc, const char* const* argv,
                   const std::function<int(const CommandArguments&)>& body);

// The value after args[i], stepping i onto it; a UsageError naming the option
// when there is none.
const std::string& OptionValue(const CommandArguments& args, std::size_t& i);

// The whole text as a number from `low` to `high`, or nothing.
template <typename T>
std::optional<T> WholeNumber(std::string_view text, T low, T high) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace tarnwick
