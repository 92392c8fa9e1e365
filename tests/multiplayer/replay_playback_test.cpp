// Seeking in a replay: ten minutes of the demo session recorded, then
// replayed on a hand-moved clock, give the same traffic table whether the
// replay is played up to a moment by the receive and upkeep ticks or sought
// there, forward or back; each chat line is told once.
#include "multiplayer/replay_playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "multiplayer/demo/demo_session.h"
#include "multiplayer/record/recording_sink.h"
#include "multiplayer/record/recording_transport.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/record/session_recorder.h"
#include "multiplayer/session_connection.h"
#include "state/chosen_area.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
using std::chrono::minutes;
using std::chrono::seconds;

constexpr milliseconds kTick{100};
constexpr milliseconds kUpkeep{30000};

class TextSink final : public RecordingSink {
   public:
    explicit TextSink(std::string& text) : text_(text) {}
    void Write(std::string_view line) override { text_.append(line).push_back('\n'); }
    void Flush() override {}
    std::uint64_t Size() const override { return text_.size(); }

   private:
    std::string& text_;
};

// The program joined to a session and driven by its receive and upkeep ticks
// on a hand-moved clock; a replay's receive ticks go through its playback.
struct Program {
    Program(milliseconds& time, TransportFactory session, int connectionType)
        : clock(time), play(std::move(session)) {
        connection.Load();
        connection.LocateSession(connectionType);
        connection.JoinSession(0, kDefaultNickname);
        for (int i = 0; i < 5 && !state.SessionConnected; ++i) {
            clock += seconds(1);
            connection.WaitForAcceptance();
        }
        link = std::make_unique<SessionLink>(state, play.Play(), grid);
        link->Start();
        joinedAt = clock;
    }
    void Tick() {
        clock += kTick;
        Take(playback ? playback->ReceiveTick() : link->ReceiveTick());
        if ((clock - joinedAt) % kUpkeep == milliseconds(0)) Take(link->MaintenanceTick());
    }
    void Take(const LinkEvents& events) {
        chat.insert(chat.end(), events.ChatLines.begin(), events.ChatLines.end());
        // On the session's time, as the radar window does: a replay's own.
        if (events.TrafficChanged)
            state.Motion.Observe(state.Traffic, replayTime ? replayTime->Now() : clock);
        disconnected = disconnected || events.Disconnect;
    }

    milliseconds& clock;
    milliseconds joinedAt{0};
    DeclinationGrid grid;
    SessionState state;
    PlayObjects play;
    SessionConnection connection{state, play};
    std::unique_ptr<SessionLink> link;
    std::unique_ptr<ReplayPlayback> playback;
    const ReplayClock* replayTime = nullptr;
    std::vector<std::string> chat;
    bool disconnected = false;
};

// Ten minutes of the demo around Seattle, recorded from just after the join.
const Recording& DemoRecording() {
    static const Recording recording = [] {
        milliseconds clock{5'000'000};
        auto recorder = std::make_shared<SessionRecorder>([&clock] { return clock; });
        TrafficSimulatorSetup seattle;
        seattle.CenterLat = 47.449;
        seattle.CenterLon = -122.309;
        seattle.Seed = 24;
        seattle.Runways.push_back({47.4638, -122.3079, 47.4316, -122.3080, 432, "", ""});
        Program live(
            clock,
            [&clock, recorder, seattle] {
                auto types = std::make_unique<ServiceProviderSet>(
                    ProgramConnectionTypes(DemoSessionFactory([&clock, seattle] {
                        return DemoSessionSetup{seattle, [&clock] { return clock; }};
                    })));
                return std::make_unique<RecordingTransport>(std::move(types), recorder);
            },
            1);
        std::string text;
        recorder->Start(std::make_unique<TextSink>(text),
                        RecordingHeader{1, "test", kAreaKindAirport, "Seattle Tacoma Intl  (KSEA)", true});
        while (clock - live.joinedAt < minutes(10)) live.Tick();
        recorder->Stop();
        std::istringstream in(text);
        return ReadRecording(in);
    }();
    return recording;
}

struct Replay {
    explicit Replay(const Recording& recording)
        : program(
              base,
              [this, &recording] {
                  return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(
                      {}, {},
                      [this, &recording] { return std::make_unique<ReplayTransport>(clock, recording); }));
              },
              2) {
        program.playback = std::make_unique<ReplayPlayback>(*clock, program.state, *program.link);
        program.replayTime = clock.get();
    }
    // Receive and upkeep ticks up to the replay's `time`, then an upkeep pass.
    void PlayTo(milliseconds time) {
        while (clock->Now() < time) program.Tick();
        program.Take(program.link->MaintenanceTick());
    }
    void SeekTo(milliseconds time) { program.Take(program.playback->SeekTo(time)); }

    milliseconds base{9'000'000};
    std::shared_ptr<ReplayClock> clock = std::make_shared<ReplayClock>([this] { return base; });
    Program program;
};

void ExpectSameTable(const TrafficTable& actual, const TrafficTable& expected, const char* when) {
    ASSERT_EQ(actual.PlayerCount(), expected.PlayerCount()) << when;
    for (std::int16_t i = 0; i < expected.PlayerCount(); ++i) {
        const PlayerRecord& a = actual[i];
        const PlayerRecord& e = expected[i];
        EXPECT_EQ(std::tie(a.Name, a.PlayerId, a.Kind, a.Altitude, a.Heading, a.Latitude, a.Longitude,
                           a.Category, a.Aircraft),
                  std::tie(e.Name, e.PlayerId, e.Kind, e.Altitude, e.Heading, e.Latitude, e.Longitude,
                           e.Category, e.Aircraft))
            << when << ", entry " << i << " " << e.Name;
    }
}

TEST(ReplayPlayback, SeekingForwardAndBackGivesTheTableOfPlayingToThatMoment) {
    const Recording& recording = DemoRecording();
    ASSERT_TRUE(recording.Problems.empty());
    ASSERT_GE(recording.Lines.back().Time, minutes(10));
    // Pilots come and go before the moment sought, the last one left less
    // than an upkeep pass before it: the seek's upkeep pass must drop it too.
    const milliseconds moment = minutes(7) + seconds(40);
    int changes = 0;
    milliseconds lastChange{0};
    for (const RecordingLine& line : recording.Lines) {
        const auto* members = std::get_if<RecordedMembers>(&line.Event);
        if (members && !members->Groups && line.Time > milliseconds(0) && line.Time < moment) {
            ++changes;
            lastChange = line.Time;
        }
    }
    ASSERT_GE(changes, 3);
    ASSERT_GT(lastChange, moment - kUpkeep);

    Replay played(recording);
    played.PlayTo(moment);
    const TrafficTable then = played.program.state.Traffic;
    ASSERT_GE(then.PlayerCount(), 8);

    Replay ahead(recording);
    ahead.SeekTo(moment);
    EXPECT_EQ(ahead.clock->Now(), moment);
    ExpectSameTable(ahead.program.state.Traffic, then, "sought forward from the start");

    Replay back(recording);
    back.SeekTo(minutes(9));
    back.SeekTo(moment);
    ExpectSameTable(back.program.state.Traffic, then, "sought to 9 minutes, then back");
    back.SeekTo(moment - seconds(50));
    back.SeekTo(moment);
    ExpectSameTable(back.program.state.Traffic, then, "back a little, then forward a little");

    // Played on from there, the replays stay together.
    played.PlayTo(minutes(9) + seconds(30));
    back.PlayTo(minutes(9) + seconds(30));
    ExpectSameTable(back.program.state.Traffic, played.program.state.Traffic, "played on to 9:30");
    EXPECT_FALSE(played.program.chat.empty()) << "pilots chat now and then";
    EXPECT_EQ(back.program.chat, played.program.chat) << "each line told once, in order";
    EXPECT_FALSE(back.program.disconnected);
}

TEST(ReplayPlayback, AfterASeekSpeedsAreKnownAtOnceAndTheEndStopsTheReplay) {
    const Recording& recording = DemoRecording();
    Replay played(recording);
    played.PlayTo(minutes(6));
    Replay sought(recording);
    sought.SeekTo(minutes(6));
    int compared = 0;
    for (const PlayerRecord& entry : played.program.state.Traffic.Entries()) {
        const Motion was = played.program.state.Motion.MotionOf(KeyOf(entry));
        const Motion is = sought.program.state.Motion.MotionOf(KeyOf(entry));
        if (!was.GroundSpeedKt) continue;
        ASSERT_TRUE(is.GroundSpeedKt.has_value()) << entry.Name;
        EXPECT_NEAR(*is.GroundSpeedKt, *was.GroundSpeedKt, 0.1 * *was.GroundSpeedKt + 2) << entry.Name;
        ++compared;
    }
    EXPECT_GE(compared, 4);

    // Paused, a seek stays paused; past the end it stops at the end.
    sought.clock->SetPaused(true);
    sought.SeekTo(minutes(2));
    sought.base += seconds(10);
    EXPECT_EQ(sought.clock->Now(), minutes(2));
    sought.clock->SetPaused(false);
    const milliseconds length = recording.Lines.back().Time;
    EXPECT_EQ(sought.clock->Length(), length);
    sought.SeekTo(minutes(60));
    EXPECT_EQ(sought.clock->Now(), length);
    EXPECT_TRUE(sought.clock->Finished());
    sought.base += minutes(1);
    EXPECT_EQ(sought.clock->Now(), length) << "the replay's time stops at the recording's end";
    sought.SeekTo(minutes(-3));
    EXPECT_EQ(sought.clock->Now(), milliseconds(0));
    EXPECT_FALSE(sought.clock->Finished());
}

}  // namespace
}  // namespace tarnwick
