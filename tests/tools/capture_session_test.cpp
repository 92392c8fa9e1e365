// A session between tarnwick-simhost and tarnwick-session captured on the
// loopback of a network namespace of its own becomes a recording whose
// replay shows the traffic the live program showed; the fixtures in
// tests/captures replay to their expected tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::RunTool;
using testing::TempFolder;

// The traffic tables a session printed, in order.
std::vector<nlohmann::json> Tables(const std::string& jsonLines) {
    std::vector<nlohmann::json> tables;
    std::istringstream in(jsonLines);
    for (std::string line; std::getline(in, line);) {
        nlohmann::json value = nlohmann::json::parse(line);
        if (value.contains("traffic")) tables.push_back(std::move(value));
    }
    return tables;
}

// The entries without their motion, which depends on when the ticks sampled.
nlohmann::json Entries(const nlohmann::json& table) {
    nlohmann::json entries = table["traffic"];
    for (nlohmann::json& entry : entries)
        for (const char* motion : {"GroundSpeedKt", "TrackTrue", "VerticalSpeedFpm"}) entry.erase(motion);
    return entries;
}

// Capture and recording read back: the replay's printed lines.
std::string CaptureReplayed(const std::filesystem::path& capture, const TempFolder& folder,
                            const std::vector<std::string>& readOptions = {}) {
    const std::string recording = (folder.Path() / (capture.filename().string() + ".rec")).string();
    std::vector<std::string> args = {"--capture", capture.string(), "--record", recording};
    args.insert(args.end(), readOptions.begin(), readOptions.end());
    const auto read = RunTool("tarnwick-session", args);
    EXPECT_EQ(read.ExitStatus, 0) << read.Err;
    const auto replay = RunTool(
        "tarnwick-session", {"--replay", recording, "--work", (folder.Path() / "none").string(), "--json"});
    EXPECT_EQ(replay.ExitStatus, 0) << replay.Err;
    return replay.Out;
}

bool CanCaptureInANamespace() {
    return std::system("unshare --net true >/dev/null 2>&1 && command -v dumpcap >/dev/null 2>&1") == 0;
}

TEST(CaptureSession, ALoopbackSessionCapturedReplaysToTheTrafficSeenLive) {
    if (!CanCaptureInANamespace()) GTEST_SKIP() << "needs unshare --net (root) and dumpcap";
    TempFolder folder;
    const std::filesystem::path capture = folder.Path() / "session.pcapng";
    const std::string command = std::string(TARNWICK_SOURCE_DIR) +
                                "/tests/captures/capture-loopback-session.sh " + TARNWICK_BIN_DIR + " " +
                                capture.string() + " 33";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream liveFile(capture.string() + ".live.jsonl");
    const std::string live((std::istreambuf_iterator<char>(liveFile)), std::istreambuf_iterator<char>());
    const std::vector<nlohmann::json> liveTables = Tables(live);
    ASSERT_FALSE(liveTables.empty());
    const nlohmann::json liveLast = Entries(liveTables.back());
    ASSERT_EQ(liveLast.size(), 5u) << "the program and four pilots";
    EXPECT_NE(liveLast[1]["Aircraft"], "") << "the upkeep at 30 s asked for the aircraft";

    // As the program's own player heard it: the same table.
    const auto heard = Tables(CaptureReplayed(capture, folder, {"--player", "ATC Controller"}));
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(Entries(heard.back()), liveLast);

    // As a silent machine: the same pilots beside a player of its own.
    const auto silent = Tables(CaptureReplayed(capture, folder));
    ASSERT_FALSE(silent.empty());
    nlohmann::json pilots = Entries(silent.back());
    pilots.erase(pilots.begin());
    nlohmann::json livePilots = liveLast;
    livePilots.erase(livePilots.begin());
    EXPECT_EQ(pilots, livePilots);

    // The report names the session and reads every message.
    const auto report = RunTool("tarnwick-session", {"--capture", capture.string()});
    EXPECT_NE(report.Err.find("session \"Tarnwick demo\", flags 0x0 (none), at most 16 players"),
              std::string::npos)
        << report.Err;
    EXPECT_NE(report.Err.find("dialect versions: 14"), std::string::npos);
    EXPECT_NE(report.Err.find("every message was read"), std::string::npos);

    // Cut short in the middle: a clear report, and what came before is replayed.
    std::ifstream whole(capture, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2 + 7);
    const std::filesystem::path cut = folder.Path() / "cut.pcapng";
    std::ofstream(cut, std::ios::binary) << bytes;
    const auto damaged = RunTool("tarnwick-session", {"--capture", cut.string()});
    EXPECT_EQ(damaged.ExitStatus, 0);
    EXPECT_NE(damaged.Err.find("the capture stops here"), std::string::npos) << damaged.Err;
    EXPECT_FALSE(Tables(CaptureReplayed(cut, folder)).empty());
}

// Each capture in tests/captures with its NAME.expected.json: the number of
// tables its replay prints and the last one, made by the tool and checked by
// a person (docs/interop.md).
TEST(CaptureSession, TheFixturesReplayToTheirExpectedTables) {
    TempFolder folder;
    int fixtures = 0;
    for (const auto& file : std::filesystem::directory_iterator(std::filesystem::path(TARNWICK_SOURCE_DIR) /
                                                                "tests" / "captures")) {
        const auto extension = file.path().extension();
        if (extension != ".pcap" && extension != ".pcapng") continue;
        ++fixtures;
        std::filesystem::path expectedPath = file.path();
        expectedPath.replace_extension(".expected.json");
        std::ifstream expectedFile(expectedPath);
        ASSERT_TRUE(expectedFile) << expectedPath;
        const nlohmann::json expected = nlohmann::json::parse(expectedFile);
        std::vector<std::string> options;
        if (expected.contains("player")) options = {"--player", expected["player"]};
        const auto tables = Tables(CaptureReplayed(file.path(), folder, options));
        EXPECT_EQ(tables.size(), expected["tables"]) << file.path();
        ASSERT_FALSE(tables.empty()) << file.path();
        EXPECT_EQ(tables.back(), expected["last"]) << file.path();
    }
    EXPECT_GE(fixtures, 1);
}

}  // namespace
}  // namespace tarnwick
