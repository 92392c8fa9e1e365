// The receive tick must get through a burst of position reports without
// stalling the window: one tick over 10,000 queued reports from 64 pilots.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/session_link.h"
#include "reporting_pilots.h"

namespace {

using namespace tarnwick;

constexpr int kPilots = 64;
constexpr int kQueued = 10000;

void BM_ReceiveTickOverQueuedPositions(benchmark::State& state) {
    InProcessSessionHub hub;
    hub.HostSession("Bench", kPilots + 1, "{BENCH}");
    InProcessTransport transport(hub, "Bench");
    SessionState session;
    session.OwnPlayerId = JoinWithPlayer(transport, "ATC Controller");
    session.SessionConnected = session.TrafficEnabled = true;
    (void)session.Traffic.Append("ATC Controller", session.OwnPlayerId, kKindPlayer);

    const auto [pilots, reports] = bench::AddReportingPilots(hub, session.Traffic, kPilots, true);
    auto grid = std::make_unique<DeclinationGrid>();
    SessionLink link(session, transport, *grid);

    for (auto _ : state) {
        state.PauseTiming();
        for (int m = 0; m < kQueued; ++m) {
            hub.Inject(pilots[static_cast<std::size_t>(m % kPilots)], session.OwnPlayerId,
                       reports[static_cast<std::size_t>(m % kPilots)]);
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(link.ReceiveTick());
    }
    state.SetItemsProcessed(state.iterations() * kQueued);
    state.counters["messages"] = kQueued;
}

}  // namespace

BENCHMARK(BM_ReceiveTickOverQueuedPositions)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
