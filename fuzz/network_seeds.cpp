// Writes the seeds of the network fuzz targets into FOLDER: the codec tests'
// sample DirectPlay messages, each as a message body and as a TCP frame
// (FOLDER/directplay/), and one game message of every type the program reads,
// each alone and all in one run, in the receive target's layout
// (FOLDER/receive/). scripts/fuzz runs it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "multiplayer/directplay/frame.h"
#include "multiplayer/game/messages.h"
#include "wire_samples.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The receive target's record: the sender's selector with a receive tick
// after it, the length, the message.
void AppendRecord(Bytes& run, const tarnwick::MessageBytes& message) {
    run.push_back(0x80);
    run.push_back(static_cast<std::uint8_t>(message.size() & 0xFF));
    run.push_back(static_cast<std::uint8_t>(message.size() >> 8));
    run.insert(run.end(), message.begin(), message.end());
}

std::vector<tarnwick::MessageBytes> GameMessages() {
    using namespace tarnwick;
    // The program's own id in the target's session.
    constexpr std::int32_t kOwnId = 1000;
    const PositionWords words{1024, 10001750 / 2, -536870912, 300};
    return {
        Encode(MsgJoinRequest{}),
        Encode(MsgObserverJoinRequest{}),
        Encode(MsgJoinAccept{kOwnId}),
        Encode(MsgObserverAccept{kOwnId}),
        Encode(MsgJoinRefuse{}),
        Encode(MsgObserverRefuse{}),
        Encode(MsgIdentifyRequest{}),
        Encode(MsgJoinRetry{}),
        Encode(MsgAircraftInfo{1, "Cessna Skyhawk 172SP"}),
        Encode(MsgAircraftInfoRequest{}),
        Encode(MsgPosition{words}),
        Encode(MsgPositionLong{words}),
        Encode(MsgChat{"Tower, N123 ready"}),
        EncodeTerminated(MsgChat{"Ground, N123"}),
        Encode(MsgHostLeft{}),
        Encode(MsgRemovedByHost{}),
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: network_fuzz_seeds FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path directplay = folder / "directplay";
    const fs::path receive = folder / "receive";
    fs::create_directories(directplay);
    fs::create_directories(receive);

    int n = 0;
    for (const auto& message : tarnwick::directplay::testing::SampleMessages()) {
        const std::string name = std::to_string(++n) + "-" + tarnwick::directplay::CommandName(message);
        Write(directplay / (name + ".body"), tarnwick::directplay::EncodeBody(message));
        Write(directplay / (name + ".frame"), tarnwick::directplay::EncodeSystemFrame(message, {0, 2300}));
    }

    Bytes all{0};
    n = 0;
    for (const auto& message : GameMessages()) {
        Bytes alone{0};
        AppendRecord(alone, message);
        Write(receive / (std::to_string(++n) + ".run"), alone);
        AppendRecord(all, message);
    }
    Write(receive / "all.run", all);
    return 0;
}
