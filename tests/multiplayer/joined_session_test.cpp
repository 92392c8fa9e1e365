// The joined session without any window, on a hand-moved clock: what one tick
// does and in which order, the leave, the recorder's hook, and a replay that
// runs on its own time.
#include "multiplayer/joined_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "geo/local_offset.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/record/recording_sink.h"
#include "multiplayer/record/recording_transport.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/session_connection.h"
#include "support/reported_flight.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;
using testing::FlightPath;

constexpr double kCentreLat = 47.449;
constexpr double kCentreLon = -122.309;

class TextSink final : public RecordingSink {
   public:
    explicit TextSink(std::string& text) : text_(text) {}
    void Write(std::string_view line) override { text_.append(line).push_back('\n'); }
    void Flush() override {}
    std::uint64_t Size() const override { return text_.size(); }

   private:
    std::string& text_;
};

class FullDisk final : public RecordingSink {
   public:
    void Write(std::string_view) override { throw RecordingError("No space left on device"); }
    void Flush() override {}
    std::uint64_t Size() const override { return 0; }
};

// The program joined to a session through `connectionType` (its host
// accepting when `accept` says so), the session run by a JoinedSession on the
// hand-moved clock.
struct Program {
    Program(milliseconds& time, TransportFactory session, int connectionType, JoinedSessionOptions options,
            const std::function<void(std::int32_t own)>& accept = {})
        : clock(time), play(std::move(session)) {
        area.AreaCenterLat = kCentreLat;
        area.AreaCenterLon = kCentreLon;
        aids.Conflicts = true;
        connection.Load();
        connection.LocateSession(connectionType);
        connection.JoinSession(0, kDefaultNickname);
        if (accept) accept(state.OwnPlayerId);
        for (int i = 0; i < 5 && !state.SessionConnected; ++i) {
            clock += milliseconds(1000);
            connection.WaitForAcceptance();
        }
        EXPECT_TRUE(state.SessionConnected);
        if (!options.Replay) options.Clock = [this] { return clock; };
        joined = std::make_unique<JoinedSession>(JoinedSessionParts{state, play, grid, area, aids},
                                                 std::move(options));
        Take(joined->Start());
    }
    // The receive tick 100 ms on, as Timer1 runs it.
    const SessionEvents& Tick() {
        clock += JoinedSession::kReceiveInterval;
        return Take(joined->ReceiveTick());
    }
    const SessionEvents& Take(SessionEvents events) {
        chat.insert(chat.end(), events.ChatLines.begin(), events.ChatLines.end());
        last = std::move(events);
        return last;
    }

    milliseconds& clock;
    DeclinationGrid grid;
    ChosenArea area;
    RadarAids aids;
    SessionState state;
    PlayObjects play;
    SessionConnection connection{state, play};
    std::unique_ptr<JoinedSession> joined;
    SessionEvents last;
    std::vector<std::string> chat;
};

// A session in this process whose pilots report ten times a second.
class JoinedSessionTest : public ::testing::Test {
   protected:
    JoinedSessionTest() {
        hub.HostSession("Scripted session", 16, "{APP-GUID}");
        host = hub.AddPlayer("Host");
    }

    // Joined through the demo connection type over the hub, whose host
    // accepts; the session objects tell `recorder`, if any.
    void Join(std::shared_ptr<SessionRecorder> recorder = {}) {
        TransportFactory objects = [this, recorder]() -> std::unique_ptr<SessionTransport> {
            auto types = std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(
                [this] { return std::make_unique<InProcessTransport>(hub, kDemoConnectionName); }));
            if (!recorder) return types;
            return std::make_unique<RecordingTransport>(std::move(types), recorder);
        };
        JoinedSessionOptions options;
        options.Recorder = recorder;
        program = std::make_unique<Program>(clock, std::move(objects), 1, std::move(options),
                                            [this](std::int32_t own) {
                                                while (hub.Receive(host)) {
                                                }
                                                hub.Send(host, own, Encode(MsgJoinAccept{own}));
                                            });
    }

    // A pilot `east` and `north` nautical miles from the centre at 240 kt,
    // identified at the next tick.
    std::int32_t AddPilot(const std::string& name, double east, double north, double track,
                          double altitudeFt) {
        const geo::GeoPoint p = geo::MovedBy(kCentreLat, kCentreLon, {east, north});
        const std::int32_t id = hub.AddPlayer(name);
        hub.Send(id, program->state.OwnPlayerId, Encode(MsgJoinAccept{id}));
        pilots.push_back(
            {id, {.Lat = p.Lat, .Lon = p.Lon, .AltitudeFt = altitudeFt, .TrackDeg = track, .SpeedKt = 240}});
        return id;
    }
    // Every pilot reports, then the receive tick.
    const SessionEvents& Fly() {
        for (auto& [id, path] : pilots) {
            path = path.After(0.1);
            const PositionWords words{AttitudeWordForHeading(path.TrackDeg), LatitudeToWire(path.Lat),
                                      LongitudeToWire(path.Lon), AltitudeMetresFromFeet(path.AltitudeFt)};
            hub.Send(id, kAllPlayers, Encode(MsgPosition{words}));
        }
        return program->Tick();
    }
    Motion MotionOf(const std::string& name) const {
        for (const PlayerRecord& entry : program->state.Traffic.Entries())
            if (entry.Name == name) return program->state.Motion.MotionOf(KeyOf(entry));
        return {};
    }

    milliseconds clock{3'000'000};
    InProcessSessionHub hub{100};
    std::int32_t host = 0;
    std::vector<std::pair<std::int32_t, FlightPath>> pilots;
    std::unique_ptr<Program> program;
};

const RecordingHeader kHeader{1, "test", kAreaKindAirport, "Seattle Tacoma Intl  (KSEA)", true};

TEST_F(JoinedSessionTest, ATickHandlesItsMessagesThenFeedsTheMotionHistoryAndThenTheConflictWatch) {
    Join();
    // Head on at one height, 8 nm apart and closing at 480 kt: in conflict
    // as soon as their speeds are known.
    AddPilot("NORTH", 0, -4, 0, 5000);
    const std::int32_t south = AddPilot("SOUTH", 0, 4, 180, 5000);
    hub.Send(host, kAllPlayers, EncodeTerminated(MsgChat{"Hello"}));
    const SessionEvents& first = Fly();
    EXPECT_EQ(first.ChatLines, std::vector<std::string>{"Host: Hello"});
    EXPECT_TRUE(first.PlayerListChanged);
    EXPECT_TRUE(first.TrafficChanged);
    ASSERT_TRUE(first.Conflicts.has_value()) << "looked at after every tick that changed the table";
    EXPECT_EQ(first.Conflicts->Time, clock) << "at the session's time";
    EXPECT_TRUE(first.Conflicts->Alerts.empty()) << "no speeds yet";

    // The alert starts at the very tick whose table first gives both speeds:
    // the watch looks once the motion history has taken that tick's table.
    for (int tick = 0; tick < 100 && !(MotionOf("NORTH").GroundSpeedKt && MotionOf("SOUTH").GroundSpeedKt);
         ++tick) {
        const SessionEvents& events = Fly();
        ASSERT_TRUE(events.Conflicts.has_value());
        if (!MotionOf("NORTH").GroundSpeedKt || !MotionOf("SOUTH").GroundSpeedKt) {
            EXPECT_TRUE(events.Conflicts->Alerts.empty());
        }
    }
    ASSERT_TRUE(MotionOf("NORTH").GroundSpeedKt.has_value());
    EXPECT_NEAR(*MotionOf("NORTH").GroundSpeedKt, 240, 10);
    const SessionEvents& known = program->last;
    ASSERT_TRUE(known.Conflicts.has_value());
    EXPECT_EQ(known.Conflicts->Started, 1u);
    ASSERT_EQ(known.Conflicts->Alerts.size(), 1u);
    EXPECT_EQ(known.Conflicts->Alerts[0].First.Name, "NORTH");
    EXPECT_EQ(known.Conflicts->Alerts[0].Second.Name, "SOUTH");
    EXPECT_EQ(known.Conflicts->Alerts[0].Since, clock);
    EXPECT_EQ(Fly().Conflicts->Started, 0u) << "the same alert goes on";

    // A tick that changes nothing feeds neither: two silent seconds would
    // otherwise add the samples of aircraft that stand still.
    pilots.clear();
    program->Tick();
    const std::size_t samples = program->state.Motion.SampleCount();
    for (int tick = 0; tick < 20; ++tick) {
        const SessionEvents& quiet = program->Tick();
        EXPECT_FALSE(quiet.TrafficChanged);
        EXPECT_FALSE(quiet.Conflicts.has_value());
    }
    EXPECT_EQ(program->state.Motion.SampleCount(), samples);

    // The upkeep pass that drops a pilot who left feeds them too.
    hub.RemovePlayer(south);
    clock += milliseconds(1000);
    const SessionEvents upkeep = program->joined->UpkeepTick();
    EXPECT_TRUE(upkeep.TrafficChanged);
    EXPECT_TRUE(upkeep.PlayerListChanged);
    ASSERT_TRUE(upkeep.Conflicts.has_value());
    EXPECT_TRUE(upkeep.Conflicts->Alerts.empty()) << "an aircraft that left ends its alerts";
    EXPECT_EQ(program->state.Motion.PlayerCount(), program->state.Traffic.Entries().size());
}

TEST_F(JoinedSessionTest, TurningTheAlertOffEmptiesTheListAtOnce) {
    Join();
    AddPilot("NORTH", 0, -4, 0, 5000);
    AddPilot("SOUTH", 0, 4, 180, 5000);
    for (int tick = 0; tick < 80; ++tick) Fly();
    ASSERT_EQ(program->joined->Conflicts().Alerts().size(), 1u);
    program->aids.Conflicts = false;
    const SessionEvents off = program->joined->AidsChanged();
    ASSERT_TRUE(off.Conflicts.has_value());
    EXPECT_TRUE(off.Conflicts->Alerts.empty());
    EXPECT_FALSE(off.TrafficChanged);
    program->aids.Conflicts = true;
    const SessionEvents on = program->joined->AidsChanged();
    ASSERT_EQ(on.Conflicts->Alerts.size(), 1u);
    EXPECT_EQ(on.Conflicts->Started, 1u) << "back on, the pair is a new alert";
}

TEST_F(JoinedSessionTest, TheLeaveEndsTheRecordingAndTheSessionAndEveryLaterCallDoesNothing) {
    auto recorder = std::make_shared<SessionRecorder>([this] { return clock; });
    Join(recorder);
    std::string text;
    recorder->Start(std::make_unique<TextSink>(text), kHeader);
    AddPilot("NORTH", 0, -4, 0, 5000);
    for (int tick = 0; tick < 20; ++tick) Fly();
    const std::int32_t own = program->state.OwnPlayerId;
    ASSERT_TRUE(hub.HasPlayer(own));

    const SessionEvents left = program->joined->Leave();
    EXPECT_FALSE(left.RecordingFailure.has_value());
    EXPECT_TRUE(program->joined->Left());
    EXPECT_FALSE(recorder->Recording());
    EXPECT_NE(text.find("\"kind\":\"end\""), std::string::npos) << "the recording ends with its last line";
    EXPECT_FALSE(hub.HasPlayer(own)) << "the own player is destroyed";
    EXPECT_FALSE(program->state.SessionConnected);
    EXPECT_FALSE(program->state.TrafficEnabled);
    EXPECT_FALSE(program->play.Exists()) << "the session objects are released";

    const std::int16_t entries = program->state.Traffic.PlayerCount();
    for (const SessionEvents& later :
         {Fly(), program->joined->UpkeepTick(), program->joined->AidsChanged(), program->joined->Leave()}) {
        EXPECT_FALSE(later.TrafficChanged || later.Conflicts || later.Disconnect || later.RecordingFailure);
    }
    EXPECT_EQ(program->state.Traffic.PlayerCount(), entries);
}

TEST_F(JoinedSessionTest, ARecordingThatStopsByItselfIsToldOnceAfterAReceiveTick) {
    auto recorder = std::make_shared<SessionRecorder>([this] { return clock; });
    Join(recorder);
    recorder->Start(std::make_unique<FullDisk>(), kHeader);
    EXPECT_FALSE(recorder->Recording());
    const SessionEvents upkeep = program->joined->UpkeepTick();
    EXPECT_FALSE(upkeep.RecordingFailure.has_value()) << "told by the receive tick";
    const SessionEvents& tick = program->Tick();
    ASSERT_TRUE(tick.RecordingFailure.has_value());
    EXPECT_NE(tick.RecordingFailure->find("No space left on device"), std::string::npos)
        << *tick.RecordingFailure;
    EXPECT_FALSE(program->Tick().RecordingFailure.has_value()) << "once";
}

TEST_F(JoinedSessionTest, RemovedByTheHostItSaysSoAndAsksToBeLeft) {
    Join();
    hub.Send(host, program->state.OwnPlayerId, Encode(MsgRemovedByHost{}));
    const SessionEvents& removed = program->Tick();
    EXPECT_TRUE(removed.Disconnect);
    ASSERT_EQ(removed.Messages.size(), 1u);
    EXPECT_EQ(removed.Messages[0].Text,
              "The host had removed you from the session, Tarnwick closes multiplayer session.");
    EXPECT_TRUE(program->state.SessionConnected) << "leaving is the caller's, once the boxes are shown";
}

TEST(JoinedSession, WithoutSessionObjectsItRunsWithoutTrafficAndStillLeaves) {
    DeclinationGrid grid;
    ChosenArea area;
    RadarAids aids;
    SessionState state;
    state.SessionConnected = state.TrafficEnabled = true;
    state.IsHosting = true;
    PlayObjects play{[] { return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({})); }};
    milliseconds now{5000};
    JoinedSessionOptions options;
    options.Clock = [&now] { return now; };
    JoinedSession joined({state, play, grid, area, aids}, std::move(options));
    const SessionEvents started = joined.Start();
    EXPECT_FALSE(state.IsHosting) << "the load turns hosting off";
    EXPECT_FALSE(started.TrafficChanged || started.Disconnect);
    EXPECT_FALSE(joined.ReceiveTick().TrafficChanged);
    EXPECT_FALSE(joined.Seekable());
    joined.Leave();
    EXPECT_FALSE(state.SessionConnected);
}

// A short session recorded, then replayed: the replay's time, not the
// clock under it, is the session's.
TEST_F(JoinedSessionTest, AReplayRunsOnTheReplaysTimeAndGoesBackAfresh) {
    auto recorder = std::make_shared<SessionRecorder>([this] { return clock; });
    Join(recorder);
    std::string text;
    recorder->Start(std::make_unique<TextSink>(text), kHeader);
    AddPilot("NORTH", 0, -4, 0, 5000);
    AddPilot("SOUTH", 0, 4, 180, 5000);
    for (int tick = 0; tick < 300; ++tick) Fly();
    program->joined->Leave();
    std::istringstream in(text);
    const Recording recording = ReadRecording(in);
    ASSERT_TRUE(recording.Problems.empty());

    milliseconds base{9'000'000};
    auto replay = std::make_shared<ReplayClock>([&base] { return base; });
    JoinedSessionOptions options;
    options.Replay = replay;
    Program played(
        base,
        [replay, &recording] {
            return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({}, {}, [replay, &recording] {
                return std::make_unique<ReplayTransport>(replay, recording);
            }));
        },
        2, std::move(options));
    ASSERT_TRUE(played.joined->Seekable());
    std::optional<milliseconds> alertSince;
    for (int tick = 0; tick < 200; ++tick) {
        const SessionEvents& events = played.Tick();
        if (!events.Conflicts) continue;
        EXPECT_EQ(events.Conflicts->Time, replay->Now()) << "the replay's time, not the clock's";
        if (!alertSince && !events.Conflicts->Alerts.empty()) alertSince = events.Conflicts->Alerts[0].Since;
    }
    ASSERT_TRUE(alertSince.has_value()) << "the conflict replayed";
    EXPECT_LT(*alertSince, milliseconds(30000)) << "on the recording's time: " << alertSince->count();
    EXPECT_EQ(played.joined->Now(), replay->Now());

    // Back before the alert: the list starts afresh, on the replay's time.
    const SessionEvents back = played.joined->SeekTo(*alertSince - milliseconds(3000));
    EXPECT_EQ(replay->Now(), *alertSince - milliseconds(3000));
    ASSERT_TRUE(back.Conflicts.has_value());
    EXPECT_TRUE(back.Conflicts->Alerts.empty()) << "an alert that has not happened yet there";
    const SessionEvents ahead = played.joined->SeekTo(*alertSince + milliseconds(5000));
    ASSERT_TRUE(ahead.Conflicts.has_value());
    ASSERT_EQ(ahead.Conflicts->Alerts.size(), 1u);
    EXPECT_EQ(ahead.Conflicts->Time, *alertSince + milliseconds(5000));
}

}  // namespace
}  // namespace tarnwick
