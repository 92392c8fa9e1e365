// The radar aids through the tools: a session printed by tarnwick-session
// around the test area, drawn and hovered at one time of it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "geo/local_offset.h"
#include "radar/radar_view.h"
#include "scope_tool_area.h"
#include "support/run_tool.h"

namespace tarnwick {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::TempFolder;

constexpr const char* kAirport = "Z\xC3\xBCrich Test  (LSZT)";
constexpr double kAt = 15.0;

class DbAids : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        testing::WriteArea(*folder_);
        const auto session = RunTool("tarnwick-session", {"--demo", "--work", folder_->String(), "--airport",
                                                          kAirport, "--seconds", "20", "--json"});
        ASSERT_EQ(session.ExitStatus, 0) << session.Err;
        log_ = (folder_->Path() / "session.jsonl").string();
        std::ofstream(log_) << session.Out;
        std::istringstream lines(session.Out);
        for (std::string line; std::getline(lines, line);) {
            const nlohmann::json parsed = nlohmann::json::parse(line);
            if (parsed.contains("traffic") && parsed["time"].get<double>() <= kAt) table_ = parsed["traffic"];
        }
    }
    static void TearDownTestSuite() { delete folder_; }

    static std::vector<std::string> Render(std::vector<std::string> extra) {
        std::vector<std::string> args{"render", folder_->String(), "--airport",     kAirport, "--zoom", "20",
                                      "--size", "1200x900",        "--traffic-log", log_,     "--at",   "15",
                                      "--calls"};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = RunTool("tarnwick-db", args);
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        return Lines(run.Out);
    }
    // The picture's view, as the tools open it.
    static RadarView View() {
        RadarView view;
        InitializeView(view, 1200, 900, 47.0, 8.0);
        while (view.ZoomLevel < 20) ZoomInStep(view);
        return view;
    }

    static TempFolder* folder_;
    static std::string log_;
    static nlohmann::json table_;
};

TempFolder* DbAids::folder_ = nullptr;
std::string DbAids::log_;
nlohmann::json DbAids::table_;

TEST_F(DbAids, SpeedVectorsEndWhereTheSessionsPrintedMotionSays) {
    const std::vector<std::string> calls = Render({"--aids", "vectors"});
    const RadarView view = View();
    int checked = 0;
    for (const nlohmann::json& entry : table_) {
        if (entry["GroundSpeedKt"].is_null() || entry["TrackTrue"].is_null()) continue;
        if (entry["GroundSpeedKt"].get<double>() < 20) continue;
        const double lat = entry["Latitude"];
        const double lon = entry["Longitude"];
        const double distance = entry["GroundSpeedKt"].get<double>() / 60.0;
        const geo::GeoPoint end = geo::MovedBy(lat, lon, geo::AlongCourse(entry["TrackTrue"], distance));
        const ScreenPoint p = ProjectToScreen(view, lat, lon);
        const ScreenPoint v = ProjectToScreen(view, end.Lat, end.Lon);
        // The line from the aircraft that ends nearest the expected end.
        double nearest = 1e9;
        const std::string from = "MoveToEx " + std::to_string(p.X) + " " + std::to_string(p.Y);
        for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
            if (calls[i] != from) continue;
            int x = 0;
            int y = 0;
            if (std::sscanf(calls[i + 1].c_str(), "LineTo %d %d", &x, &y) == 2)
                nearest = std::min(nearest, std::hypot(x - v.X, y - v.Y));
        }
        EXPECT_LT(nearest, 2.5) << entry["Name"];
        ++checked;
    }
    EXPECT_GE(checked, 3) << "the demo's pilots fly";
}

TEST_F(DbAids, NoAidIsTheScopeAsItWasWhateverTheValues) {
    const std::vector<std::string> plain = Render({});
    ASSERT_GT(plain.size(), 10u);
    EXPECT_EQ(Render({"--aids", "none", "--history-dots", "2", "--ring-spacing", "1", "--conflict-distance",
                      "2.5", "--inhibit", "none", "--final-track", "30", "--circuit-height", "1000"}),
              plain);
    EXPECT_NE(Render({"--aids", "rings,datablock"}), plain);
}

TEST_F(DbAids, TheAltitudeFilterHidesTrafficFromTheScopeAndTheHoverBox) {
    const RadarView view = View();
    const nlohmann::json& pilot = table_[1];
    const ScreenPoint p = ProjectToScreen(view, pilot["Latitude"], pilot["Longitude"]);
    const std::string at = std::to_string(p.X) + "," + std::to_string(p.Y);
    const auto hover = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{
            "hover",    folder_->String(), "--airport", kAirport, "--zoom", "20",   "--size",
            "1200x900", "--traffic-log",   log_,        "--at",   "15",     "--at", at};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = RunTool("tarnwick-db", args);
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        return nlohmann::json::parse(run.Out)["text"].get<std::string>();
    };
    EXPECT_NE(hover({}).find("PLAYER: " + pilot["Name"].get<std::string>()), std::string::npos);
    const std::string above = std::to_string(pilot["Altitude"].get<int>() + 100);
    const std::vector<std::string> band{"--aids", "altfilter", "--lowest-altitude", above};
    EXPECT_EQ(hover(band), "");
    std::vector<std::string> drawn = band;
    for (const std::string& line : Render(drawn))
        EXPECT_EQ(line.find("\"" + pilot["Name"].get<std::string>() + " Hdg"), std::string::npos) << line;
}

TEST_F(DbAids, BadAidOptionsFailClearly) {
    for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
             {"--aids", "radar"},
             {"--history-dots", "0"},
             {"--conflict-distance", "30"},
             {"--inhibit", "final,runway"},
             {"--final-closing", "300"},
             {"--circuit-radius", "0"},
             {"--lowest-altitude", "5000", "--highest-altitude", "4000"},
             {"--traffic", log_},
         }) {
        std::vector<std::string> args{
            "render", folder_->String(), "--airport", kAirport, "--traffic-log", log_, "--at", "15"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(RunTool("tarnwick-db", args).ExitStatus, 2) << extra.back();
    }
    EXPECT_EQ(
        RunTool("tarnwick-db", {"render", folder_->String(), "--airport", kAirport, "--traffic-log", log_})
            .ExitStatus,
        2)
        << "--traffic-log needs --at";
}

}  // namespace
}  // namespace tarnwick
