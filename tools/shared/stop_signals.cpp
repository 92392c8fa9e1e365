#include "stop_signals.h"

#include <ctime>
#include <initializer_list>

namespace tarnwick::tools {

StopSignals::StopSignals() {
    sigemptyset(&signals_);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals_, signal);
    sigprocmask(SIG_BLOCK, &signals_, nullptr);
}

bool StopSignals::Asked() const {
    const timespec now{0, 0};
    return sigtimedwait(&signals_, nullptr, &now) > 0;
}

}  // namespace tarnwick::tools
