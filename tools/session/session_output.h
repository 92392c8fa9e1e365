#pragma once
// What tarnwick-session prints: the traffic table after every tick that
// changed it, chat lines as they arrive, and the message boxes the windows
// would show. Plain text for people, or one JSON object a line for scripts.
#include <chrono>
#include <string>

#include "multiplayer/user_message.h"
#include "state/motion_history.h"
#include "state/traffic_table.h"

namespace tarnwick::tools {

class SessionOutput {
   public:
    explicit SessionOutput(bool json) : json_(json) {}

    // `time` counts from the radar window's load; texts are Windows-1252.
    // With --json each entry also has its motion: GroundSpeedKt, TrackTrue
    // and VerticalSpeedFpm in whole units, null while unknown.
    void Traffic(std::chrono::milliseconds time, const TrafficTable& table,
                 const MotionHistory& motion) const;
    void Chat(std::chrono::milliseconds time, const std::string& line) const;
    // A message box: standard error, and standard output with --json.
    void Message(const UserMessage& message) const;
    // A problem of the tool's own (UTF-8), for standard error.
    void Problem(const std::string& text) const;

   private:
    bool json_;
};

}  // namespace tarnwick::tools
