// Label placement over the demo's airports, through tarnwick-db render: at the
// zoom where Seattle Tacoma and Boeing Field show their names and runway
// numbers, no callsign or data block is written over them.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "radar/qt_painter_canvas.h"
#include "scope_tool_area.h"
#include "support/run_tool.h"

namespace tarnwick {
namespace {

using testing::Lines;
using testing::RunTool;
using testing::TempFolder;

constexpr const char* kAirport = "Seattle Tacoma Intl  (KSEA)";

struct Written {
    std::string Color;
    std::string Text;
    PixelBox Box;
};

bool Overlap(const PixelBox& a, const PixelBox& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

class DemoLabels : public ::testing::Test {
   protected:
    // The demo's scenery, its databases, and two minutes of its session.
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        const std::string fs = (folder_->Path() / "fs").string();
        work_ = (folder_->Path() / "work").string();
        std::filesystem::create_directories(work_);
        ASSERT_EQ(RunTool("tarnwick-mkscenery", {fs}).ExitStatus, 0);
        ASSERT_EQ(RunTool("tarnwick-db", {"build", fs, work_}).ExitStatus, 0);
        const auto session = RunTool("tarnwick-session", {"--demo", "--work", work_, "--airport", kAirport,
                                                          "--seconds", "120", "--json"});
        ASSERT_EQ(session.ExitStatus, 0) << session.Err;
        log_ = (folder_->Path() / "session.jsonl").string();
        std::ofstream(log_) << session.Out;
    }
    static void TearDownTestSuite() { delete folder_; }

    // Every text of one pass at level 30 over the airport, with the box the
    // scope font gives it (the tools measure with the same font).
    static std::vector<Written> Texts(int at, const std::string& aids) {
        const auto run =
            RunTool("tarnwick-db", {"render", work_, "--airport", kAirport, "--zoom", "30", "--traffic-log",
                                    log_, "--at", std::to_string(at), "--aids", aids, "--calls"});
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        static const TextMetrics metrics = QtTextMetrics(ScopeFont(QGuiApplication::font()));
        std::vector<Written> texts;
        for (const std::string& line : Lines(run.Out)) {
            int x = 0;
            int y = 0;
            char color[8] = {};
            if (std::sscanf(line.c_str(), "TextOutA %d %d %7s", &x, &y, color) != 3) continue;
            // The text is quoted; the demo's names have no quotes or backslashes.
            const std::size_t open = line.find('"');
            const std::string text = line.substr(open + 1, line.size() - open - 2);
            texts.push_back({color, text, TextBoxAt(metrics, x, y, text)});
        }
        return texts;
    }

    // The aircraft labels' lines written over the map's white texts.
    static std::vector<std::string> LabelsOnMapTexts(int at, const std::string& aids) {
        const std::vector<Written> texts = Texts(at, aids);
        std::vector<std::string> found;
        for (const Written& map : texts) {
            if (map.Color != "#ffffff") continue;
            for (const Written& label : texts) {
                if (label.Color != "#ffffff" && Overlap(map.Box, label.Box))
                    found.push_back("\"" + label.Text + "\" on \"" + map.Text + "\"");
            }
        }
        return found;
    }

    static TempFolder* folder_;
    static std::string work_;
    static std::string log_;
};

TempFolder* DemoLabels::folder_ = nullptr;
std::string DemoLabels::work_;
std::string DemoLabels::log_;

TEST_F(DemoLabels, NoCallsignOrDataBlockOnTheAirportsNamesAndRunwayNumbers) {
    int withoutPlacement = 0;
    for (int at = 20; at <= 120; at += 20) {
        // Without placement the labels hang from their aircraft, over the map's texts.
        withoutPlacement += static_cast<int>(LabelsOnMapTexts(at, "datablock").size());
        for (const char* aids : {"labels", "labels,datablock,conflicts"}) {
            for (const std::string& found : LabelsOnMapTexts(at, aids))
                ADD_FAILURE() << found << " at " << at << " s with " << aids;
        }
    }
    EXPECT_GT(withoutPlacement, 0) << "the demo puts labels on the map's texts when nothing moves them";
}

}  // namespace
}  // namespace tarnwick
