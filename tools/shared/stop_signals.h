#pragma once
// SIGINT, SIGTERM and SIGHUP held back while a tool serves a session, to be
// taken between two of its turns, so that its machines leave cleanly.
#include <csignal>

namespace tarnwick::tools {

class StopSignals {
   public:
    // Blocks the signals for the whole process.
    StopSignals();
    // Whether one of them has come since.
    bool Asked() const;

   private:
    sigset_t signals_;
};

}  // namespace tarnwick::tools
