// The network layer must never be what limits a busy session: position
// reports through the TCP framing, the message decoder and the name table
// lookup of their sender, at 1,000,000 messages a second or more.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "multiplayer/directplay/frame.h"
#include "multiplayer/directplay/frame_reassembler.h"
#include "multiplayer/directplay/name_table.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/game/wire_values.h"

namespace {

using namespace tarnwick;
using namespace tarnwick::directplay;

constexpr int kPilots = 64;
constexpr int kMessages = 10000;
constexpr std::size_t kSegment = 1460;  // what one Ethernet frame carries of a TCP stream
constexpr PlayerId kMachine = 0x100;

struct Session {
    NameTable names;
    std::vector<GameMessage> reports;
    std::vector<std::uint8_t> stream;  // every report framed, back to back

    Session() {
        PlayerInfo machine;
        machine.flags = player_flags::kSystemPlayer;
        machine.id = kMachine;
        machine.system_player = kMachine;
        machine.sp_data = SpData{{0, 2300}, {0, 2350}};
        names.AddPlayer(machine, 0x0A000002);
        for (int i = 0; i < kPilots; ++i) {
            PlayerInfo pilot;
            pilot.id = kMachine + 1 + static_cast<PlayerId>(i);
            pilot.system_player = kMachine;
            pilot.short_name = u"PILOT" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
            names.AddPlayer(pilot, 0x0A000002);
            const PositionWords words{AttitudeWordForHeading(i * 5.0), LatitudeToWire(47.0 + i * 0.01),
                                      LongitudeToWire(-122.0 - i * 0.01), 1000 + i};
            reports.push_back({pilot.id, kAllPlayers, Encode(MsgPosition{words})});
        }
        for (int m = 0; m < kMessages; ++m) {
            const auto frame =
                EncodeGameFrame(reports[static_cast<std::size_t>(m % kPilots)], true, {0, 2300});
            stream.insert(stream.end(), frame.begin(), frame.end());
        }
    }
};

void BM_ReceivePositionReports(benchmark::State& state) {
    const Session session;
    std::size_t found = 0;
    for (auto _ : state) {
        FrameReassembler reader;
        for (std::size_t at = 0; at < session.stream.size(); at += kSegment) {
            const auto segment =
                std::span(session.stream).subspan(at, std::min(kSegment, session.stream.size() - at));
            reader.Feed(segment, [&](std::span<const std::uint8_t> frame) {
                const Inbound inbound = DecodeTcpFrame(frame, true);
                const auto& message = std::get<GameMessage>(inbound);
                if (session.names.MachineOf(message.from) != nullptr) ++found;
            });
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(session.stream.size()));
}

void BM_SendPositionReports(benchmark::State& state) {
    const Session session;
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int m = 0; m < kMessages; ++m)
            bytes += EncodeGameFrame(session.reports[static_cast<std::size_t>(m % kPilots)], true, {0, 2300})
                         .size();
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(session.stream.size()));
}

}  // namespace

BENCHMARK(BM_ReceivePositionReports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SendPositionReports)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
