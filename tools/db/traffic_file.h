#pragma once
// A traffic table written down as JSON, for drawing and pointing at aircraft
// without a session:
//   {"OwnPlayerId": 1, "OwnName": "ATC Controller",
//    "Players": [{"Name": "N123", "PlayerId": 2, "Kind": "player", "Altitude": 3500,
//                 "Heading": 90, "Longitude": -122.3, "Latitude": 47.4,
//                 "Category": "Jet", "Aircraft": "Boeing 737-400"}, ...]}
// Players are the table in order, keyed by the PlayerRecord field names; a key
// left out keeps a new entry's value (0 or empty). OwnName stands for the
// session's friendly name of OwnPlayerId. Texts are UTF-8 in the file.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "state/session_state.h"

namespace tarnwick::tools {

class TrafficFileError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

// Fills the session's traffic table and own id; returns the own name
// (Windows-1252). Throws TrafficFileError naming the file and the fault.
std::string ReadTrafficFile(const std::string& path, SessionState& session);

// A session as `tarnwick-session --json` prints it, one JSON object a line:
// the tables ({"time": seconds, "traffic": [entries]}) with the chat and
// messages between them, which are passed over. The table as of `atSeconds`
// (the last one printed at or before it) fills the session's traffic table,
// and every table up to it feeds the motion history, as the radar window's
// ticks do. `ownName` (Windows-1252) is the program's name in the session,
// whose entry gives the own id. Throws TrafficFileError naming the line.
void ReadTrafficLog(const std::string& path, double atSeconds, const std::string& ownName,
                    SessionState& session);

}  // namespace tarnwick::tools
