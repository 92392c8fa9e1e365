// Sessions on record: what recording adds to a receive tick (the same tick
// with and without a recorder writing to a file), how fast a packet capture
// is read into a recording (MB/s over the capture in tests/captures), and how
// long a replay takes to go back to the middle of a long recording.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "multiplayer/capture/capture_reader.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/record/recording_transport.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/replay_playback.h"
#include "multiplayer/session_link.h"
#include "reporting_pilots.h"

namespace {

using namespace tarnwick;

constexpr int kPilots = 64;

// Arguments: the reports waiting for the tick, and whether it records.
void BM_ReceiveTickRecording(benchmark::State& state) {
    const auto queued = static_cast<int>(state.range(0));
    const bool recording = state.range(1) != 0;
    InProcessSessionHub hub;
    hub.HostSession("Bench", kPilots + 1, "{BENCH}");
    std::chrono::milliseconds now{0};
    auto recorder = std::make_shared<SessionRecorder>([&now] { return now; });
    auto local = std::make_unique<InProcessTransport>(hub, "Bench");
    SessionState session;
    session.OwnPlayerId = JoinWithPlayer(*local, "ATC Controller");
    RecordingTransport transport(std::move(local), recorder);
    session.SessionConnected = session.TrafficEnabled = true;
    (void)session.Traffic.Append("ATC Controller", session.OwnPlayerId, kKindPlayer);

    const auto [pilots, reports] = bench::AddReportingPilots(hub, session.Traffic, kPilots, false);
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "tarnwick-record-bench.rec";
    if (recording) recorder->Start(OpenRecordingFile(file), RecordingHeader{});
    auto grid = std::make_unique<DeclinationGrid>();
    SessionLink link(session, transport, *grid);

    for (auto _ : state) {
        state.PauseTiming();
        for (int m = 0; m < queued; ++m) {
            hub.Inject(pilots[static_cast<std::size_t>(m % kPilots)], session.OwnPlayerId,
                       reports[static_cast<std::size_t>(m % kPilots)]);
        }
        // Ticks 100 ms apart: the file is flushed every tenth.
        now += std::chrono::milliseconds(100);
        state.ResumeTiming();
        benchmark::DoNotOptimize(link.ReceiveTick());
    }
    recorder->Stop();
    state.counters["bytes_recorded"] = static_cast<double>(recorder->RecordedBytes());
    std::filesystem::remove(file);
    state.SetItemsProcessed(state.iterations() * queued);
}

void BM_ReadCapture(benchmark::State& state) {
    const std::filesystem::path capture =
        std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests" / "captures" / "loopback-simhost.pcapng";
    CaptureReadOptions options;
    options.PlayerName = "ATC Controller";
    std::size_t messages = 0;
    for (auto _ : state) {
        const CaptureReading reading = ReadCaptureFile(capture, options);
        messages = reading.Recorded.Lines.size();
        benchmark::DoNotOptimize(messages);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(capture)));
    state.counters["lines"] = static_cast<double>(messages);
}

// `pilots` pilots, identified at the start, each reporting its position once
// a second for `minutes`.
Recording PilotsReporting(int pilots, int minutes) {
    using std::chrono::milliseconds;
    Recording recording;
    recording.Header.JoinAccepted = true;
    // Made in place: a line moved into the list trips GCC's warning about the variant.
    const auto add = [&](int second, RecordingEvent event) {
        RecordingLine& line = recording.Lines.emplace_back();
        line.Time = milliseconds(second * 1000);
        line.Event = std::move(event);
    };
    const auto message = [&](int second, int pilot, MessageBytes bytes) {
        add(second, RecordedMessage{100 + pilot, 1, std::move(bytes), second == 0});
    };
    std::vector<SessionMember> members{{"ATC Controller", 1}};
    for (int p = 0; p < pilots; ++p) members.push_back({"N" + std::to_string(100 + p), 100 + p});
    add(0, RecordedOwnPlayer{1, "ATC Controller"});
    add(0, RecordedMembers{false, members});
    for (int p = 0; p < pilots; ++p) message(0, p, Encode(MsgJoinAccept{100 + p}));
    for (int second = 1; second <= minutes * 60; ++second) {
        for (int p = 0; p < pilots; ++p) {
            const double lat = 47.0 + 0.02 * p + 0.0005 * second;
            const PositionWords words{AttitudeWordForHeading(0), LatitudeToWire(lat), LongitudeToWire(-122.3),
                                      AltitudeMetresFromFeet(3000)};
            message(second, p, Encode(MsgPosition{words}));
        }
    }
    return recording;
}

// Arguments: the recording's minutes, of 20 pilots. Each iteration goes from
// the end back to the middle: the recording is played again from its start.
void BM_ReplaySeekBack(benchmark::State& state) {
    const auto minutes = static_cast<int>(state.range(0));
    std::chrono::milliseconds base{0};
    auto clock = std::make_shared<ReplayClock>([&base] { return base; });
    ReplayTransport transport(clock, PilotsReporting(20, minutes));
    transport.StartInitializeConnection(1);
    transport.StartCreatePlayer("ATC Controller", "Player");
    SessionState session;
    session.OwnPlayerId = transport.CreatedPlayer();
    session.OwnName = "ATC Controller";
    session.SessionConnected = session.TrafficEnabled = true;
    (void)session.Traffic.Append(session.OwnName, session.OwnPlayerId, kKindPlayer);
    auto grid = std::make_unique<DeclinationGrid>();
    SessionLink link(session, transport, *grid);
    ReplayPlayback playback(*clock, session, link);
    const std::chrono::minutes end(minutes);
    for (auto _ : state) {
        state.PauseTiming();
        playback.SeekTo(end);
        state.ResumeTiming();
        benchmark::DoNotOptimize(playback.SeekTo(end / 2));
    }
    state.counters["pilots_shown"] = session.Traffic.PlayerCount() - 1;
    state.counters["lines"] = static_cast<double>(transport.Played().Lines.size());
}

}  // namespace

// 4 reports a tick: ten aircraft; 40: a hundred; 1000: a burst.
BENCHMARK(BM_ReceiveTickRecording)
    ->ArgsProduct({{4, 40, 1000}, {0, 1}})
    ->ArgNames({"reports", "recording"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadCapture)->Unit(benchmark::kMillisecond);
// Ten minutes and two hours.
BENCHMARK(BM_ReplaySeekBack)->Arg(10)->Arg(120)->ArgName("minutes")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
