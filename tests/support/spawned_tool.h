#pragma once
// Starts one of the built command-line tools in the background, for tests
// that talk to it while it runs; reads its standard output line by line.
// The tool is stopped (SIGTERM) when the object goes, if it still runs.
#include <sys/types.h>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::testing {

class SpawnedTool {
   public:
    // `tool` is the executable's name in the build's bin folder; its standard
    // error goes to the test's.
    SpawnedTool(const std::string& tool, const std::vector<std::string>& args);
    ~SpawnedTool();
    SpawnedTool(const SpawnedTool&) = delete;
    SpawnedTool& operator=(const SpawnedTool&) = delete;

    // The next line of standard output without its newline; empty when none
    // came in time or the output ended.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Waits for the tool to end; its exit status, or -1 when it did not end
    // in time or died of a signal.
    int Wait(std::chrono::milliseconds timeout);
    // Asks the tool to stop (SIGTERM) and waits for its exit status.
    int Stop(std::chrono::milliseconds timeout);

   private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
    std::optional<int> status_;
};

}  // namespace tarnwick::testing
