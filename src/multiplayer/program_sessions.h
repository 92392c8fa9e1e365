#pragma once
// The session objects the program and its tools offer the user: every
// connection type of the program, with the demo session flying around the area
// chosen last.
#include <cstdint>

#include "multiplayer/demo/demo_session.h"
#include "multiplayer/service_providers.h"
#include "state/chosen_area.h"

namespace tarnwick {

// The demo traffic around the area's centre airport (the area airport nearest
// its centre; for an airport area the chosen airport itself), seeded from the
// clock so that every session flies differently.
DemoSessionSetup DemoSessionAround(const ChosenArea& area, DemoClock clock);

// A fresh session object over the program's connection types. `area` is read
// when the demo is chosen and must outlive the objects made. `tcpIp` makes the
// TCP/IP connection's transports (they run on the caller's event loop); the
// type fails like a cancelled connection without it.
TransportFactory ProgramSessionObjects(const ChosenArea& area, DemoClock clock, TransportFactory tcpIp = {});

// Milliseconds of the machine's steady clock, for the program's own sessions.
DemoClock SteadyDemoClock();

}  // namespace tarnwick
