#pragma once
// Aircraft as the receive tick sees them: each flies with a steady speed,
// turn rate and climb, reports four times a second through the wire's
// encodings (whole metres of latitude and altitude), and its reports reach
// the traffic table a delay after they were sent. A tick every 100 ms reads
// what has arrived and, when the table changed, feeds the motion history.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "state/motion_history.h"
#include "state/traffic_table.h"

namespace tarnwick::testing {

struct FlightPath {
    double Lat = 47.0;
    double Lon = -122.0;
    double AltitudeFt = 5000.0;
    double TrackDeg = 0.0;
    double SpeedKt = 0.0;
    double TurnDegPerS = 0.0;
    double ClimbFpm = 0.0;

    // Where it is `seconds` later.
    FlightPath After(double seconds) const;
};

class ReportedTraffic {
   public:
    using Delay = std::function<std::chrono::milliseconds(int report)>;

    // A pilot in the table from the start; its first report is sent at time 0.
    void Add(const std::string& name, std::int32_t id, const FlightPath& path, Delay delay = {});
    // Runs the ticks up to `seconds` after the start.
    void RunUntil(double seconds);
    // The pilot stops reporting (it stays in the table).
    void Silence(const std::string& name);

    // The path flown as of `seconds` after the start.
    FlightPath TrueAt(const std::string& name, double seconds) const;
    std::chrono::milliseconds Now() const { return now_; }

    TrafficTable Table;
    MotionHistory History;

   private:
    struct Pilot {
        std::string Name;
        FlightPath Start;
        Delay ReportDelay;
        FlightPath Reported;  // as of the last report sent
        double ReportedAt = 0.0;
        int NextReport = 0;
        bool Silent = false;
    };
    std::vector<Pilot> pilots_;
    std::chrono::milliseconds now_{0};
};

}  // namespace tarnwick::testing
