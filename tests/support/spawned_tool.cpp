#include "support/spawned_tool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace tarnwick::testing {

using Clock = std::chrono::steady_clock;

SpawnedTool::SpawnedTool(const std::string& tool, const std::vector<std::string>& args) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("no pipe for " + tool);
    const std::string path = std::string(TARNWICK_BIN_DIR) + "/" + tool;
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int failed = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    out_ = pipeEnds[0];
    if (failed != 0) {
        close(out_);
        pid_ = -1;
        throw std::runtime_error("cannot start " + path);
    }
}

SpawnedTool::~SpawnedTool() {
    if (pid_ > 0 && !status_) Stop(std::chrono::milliseconds(5000));
    if (pid_ > 0 && !status_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
}

std::optional<std::string> SpawnedTool::ReadLine(std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        if (const auto newline = buffered_.find('\n'); newline != std::string::npos) {
            std::string line = buffered_.substr(0, newline);
            buffered_.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd fd{out_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[4096];
        const ssize_t got = read(out_, chunk, sizeof chunk);
        if (got <= 0) return std::nullopt;
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

int SpawnedTool::Wait(std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (!status_) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (Clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return *status_;
}

int SpawnedTool::Stop(std::chrono::milliseconds timeout) {
    if (!status_) kill(pid_, SIGTERM);
    return Wait(timeout);
}

}  // namespace tarnwick::testing
