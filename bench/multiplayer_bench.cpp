// The receive tick must get through a burst of position reports without
// stalling the window: one tick over 10,000 queued reports from 64 pilots.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_values.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/session_link.h"

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

    std::vector<std::int32_t> pilots;
    std::vector<MessageBytes> reports;
    for (int i = 0; i < kPilots; ++i) {
        const std::string name = "PILOT" + std::to_string(i);
        pilots.push_back(hub.AddPlayer(name));
        (void)session.Traffic.Append(name, pilots.back(), kKindPlayer);
        const PositionWords words{AttitudeWordForHeading(i * 5.0), LatitudeToWire(47.0 + i * 0.01),
                                  LongitudeToWire(-122.0 - i * 0.01), 1000 + i};
        reports.push_back(i % 2 ? Encode(MsgPosition{words}) : Encode(MsgPositionLong{words}));
    }
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
