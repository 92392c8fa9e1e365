// Sessions on record: what recording adds to a receive tick (the same tick
// with and without a recorder writing to a file), and how fast a packet
// capture is read into a recording (MB/s over the capture in tests/captures).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "multiplayer/capture/capture_reader.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/record/recording_transport.h"
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

}  // namespace

// 4 reports a tick: ten aircraft; 40: a hundred; 1000: a burst.
BENCHMARK(BM_ReceiveTickRecording)
    ->ArgsProduct({{4, 40, 1000}, {0, 1}})
    ->ArgNames({"reports", "recording"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadCapture)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
