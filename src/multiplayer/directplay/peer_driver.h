#pragma once
// What runs a DirectPlay state machine on real sockets, seen from the code
// that uses it: carry out the machine's socket actions, feed it what the
// sockets bring, and hand back everything else it asked for. One driver runs
// on plain POSIX sockets (tools, tests), another on the program's event loop.
#include <vector>

#include "multiplayer/directplay/session_actions.h"

namespace tarnwick::directplay {

class PeerDriver {
   public:
    virtual ~PeerDriver() = default;
    // Carries out what the machine asked for, then waits up to `max_wait` for
    // the sockets or the machine's next deadline and feeds the machine. Returns
    // early once there are events; 0 only does what is ready now. A driver on
    // the program's event loop never waits: the loop brings what comes.
    virtual void Pump(Millis max_wait) = 0;
    // The actions that are not about sockets (sessions found, joined,
    // messages, ...), oldest first.
    virtual std::vector<Action> TakeEvents() = 0;
    // True while bytes wait to go out or a connection to send them is opening.
    virtual bool Sending() const = 0;
};

}  // namespace tarnwick::directplay
