// Captures written here, packet by packet, go through the capture reader:
// TCP streams cut anywhere, out of order and sent twice come out as the
// messages sent; damage is reported where it is and the rest still read.
#include "multiplayer/capture/capture_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "multiplayer/capture/reliable_frames.h"
#include "multiplayer/directplay/frame.h"
#include "multiplayer/directplay/pcap_file.h"
#include "multiplayer/game/messages.h"

namespace tarnwick {
namespace {

namespace dp = directplay;
using dp::Endpoint;
using dp::testing::PcapWriter;

constexpr Endpoint kHost{0x7F000002, 2300};
constexpr Endpoint kHostUdp{0x7F000002, 2350};
constexpr Endpoint kTower{0x7F000003, 2300};
constexpr Endpoint kTowerUdp{0x7F000003, 2350};
constexpr Endpoint kOther{0x7F000004, 2300};
constexpr std::uint32_t kPilot = 0x12EC57D7;
constexpr std::uint32_t kTowerPlayer = 0x92E157DC;  // the top bit set

dp::PlayerInfo Player(std::uint32_t id, std::u16string name, bool machine = false) {
    dp::PlayerInfo info;
    info.id = id;
    info.system_player = machine ? id : 0x12E057D3;
    info.flags = machine ? dp::player_flags::kSystemPlayer : 0;
    info.short_name = std::move(name);
    return info;
}

std::vector<std::uint8_t> NameTable(std::uint32_t flags) {
    dp::SuperEnumPlayersReply reply;
    reply.desc.flags = flags;
    reply.desc.max_players = 16;
    reply.desc.reserved1 = 0x12345678;
    reply.name = u"Synthetic";
    reply.players = {Player(0x12E057D3, u"", true), Player(kPilot, u"N1"), Player(kTowerPlayer, u"Tower")};
    reply.groups = {Player(0x12EB57D6, u"FS61_REFUSE_PARAMS")};
    return dp::EncodeSystemFrame(reply, {0, kHost.port});
}

std::vector<std::uint8_t> GameFrame(const std::vector<std::uint8_t>& payload, std::uint32_t to = 0) {
    return dp::EncodeGameFrame({kPilot, to, payload}, true, {0, kHost.port});
}

MessageBytes Position(std::int32_t latitude) {
    MsgPosition position;
    position.Words.LatitudeWord = latitude;
    return Encode(position);
}

std::vector<std::vector<std::uint8_t>> Recorded(const CaptureReading& reading) {
    std::vector<std::vector<std::uint8_t>> messages;
    for (const RecordingLine& line : reading.Recorded.Lines)
        if (const auto* m = std::get_if<RecordedMessage>(&line.Event)) messages.push_back(m->Bytes);
    return messages;
}

std::string Problems(const CaptureReading& reading) {
    std::string all;
    for (const CaptureProblem& problem : reading.Report.Problems)
        all += "packet " + std::to_string(problem.Packet) + ": " + problem.Text + "\n";
    return all;
}

TEST(CaptureReader, TcpStreamsCutAnywhereOutOfOrderAndSentTwiceGiveTheMessagesOnce) {
    const std::vector<MessageBytes> sent = {Encode(MsgJoinAccept{static_cast<std::int32_t>(kPilot)}),
                                            Position(1000), Position(2000), Encode(MsgChat{"over"})};
    std::vector<std::uint8_t> stream =
        NameTable(dp::session_flags::kMigrateHost | dp::session_flags::kKeepAlive);
    for (const MessageBytes& message : sent) {
        const auto frame = GameFrame(message, kTowerPlayer);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    // Cut points inside headers, inside bodies and at message ends.
    std::vector<std::size_t> cuts = {0, 3, 25, 26, 100, stream.size() - 40, stream.size() - 7, stream.size()};
    std::ranges::sort(cuts);
    PcapWriter capture;
    const std::uint32_t start = 0xFFFFFF00;  // the sequence numbers wrap round inside the stream
    capture.AddTcp(kHost, kTower, {}, start - 1, true);
    const auto piece = [&](std::size_t i) {
        capture.AddTcp(kHost, kTower, std::span(stream).subspan(cuts[i], cuts[i + 1] - cuts[i]),
                       start + static_cast<std::uint32_t>(cuts[i]));
    };
    piece(0);
    piece(2);  // ahead of its turn
    piece(1);
    piece(1);  // sent again
    piece(4);
    capture.AddTcp(kHost, kTower, std::span(stream).subspan(cuts[3], 50),
                   start + static_cast<std::uint32_t>(cuts[3]));
    piece(3);  // overlapping what came before
    piece(5);
    piece(6);
    const CaptureReading reading = ReadCaptureBytes(capture.Bytes(), {});
    EXPECT_EQ(Problems(reading), "");
    EXPECT_EQ(Recorded(reading), sent);
    EXPECT_EQ(reading.Report.SessionName, "Synthetic");
    EXPECT_EQ(reading.Report.Dialects, (std::set<std::uint16_t>{dp::kNewestDialect}));

    const std::vector<std::string> lines = CaptureReportLines(reading.Report);
    const auto has = [&](const std::string& text) {
        return std::ranges::any_of(lines,
                                   [&](const std::string& line) { return line.find(text) != line.npos; });
    };
    EXPECT_TRUE(has("session \"Synthetic\", flags 0x44 (MIGRATEHOST | KEEPALIVE), at most 16 players"));
    EXPECT_TRUE(has("0x92E157DC -1830725668 player  Tower"));
    EXPECT_TRUE(has("some ids have the top bit set"));
    EXPECT_TRUE(has("every message was read"));
}

TEST(CaptureReader, DamageIsReportedWhereItIsAndTheRestIsRead) {
    std::vector<std::uint8_t> stream = NameTable(0);
    std::vector<std::size_t> ends;
    for (int i = 0; i < 6; ++i) {
        const auto frame = GameFrame(Position(1000 * i));
        stream.insert(stream.end(), frame.begin(), frame.end());
        ends.push_back(stream.size());
        if (i == 3) {  // garbage between the fourth and fifth message
            const std::vector<std::uint8_t> junk = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3};
            stream.insert(stream.end(), junk.begin(), junk.end());
            ends.push_back(stream.size());
        }
    }
    PcapWriter capture;
    std::size_t from = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        // The second message's segment never made it into the capture.
        if (i != 1)
            capture.AddTcp(kHost, kTower, std::span(stream).subspan(from, ends[i] - from),
                           static_cast<std::uint32_t>(1000 + from));
        from = ends[i];
    }
    const auto datagram = [](std::vector<std::uint8_t> payload) {
        return dp::EncodeGameDatagram({kPilot, 0, std::move(payload)}, true, {0, kHost.port});
    };
    const std::vector<std::uint8_t> unknown = {0x10, 0x10, 0, 0, 0, 0, 0, 0};
    capture.AddUdp(kHostUdp, kTowerUdp, datagram(unknown));  // a type the program never reads
    capture.AddUdp(kHostUdp, kTowerUdp, datagram({0x18, 0x10}));
    std::vector<std::uint8_t> file = capture.Bytes();
    capture.AddUdp(kHostUdp, kTowerUdp, datagram(Position(7000)));
    std::vector<std::uint8_t> cut = capture.Bytes();
    cut.resize(file.size() + 20);  // the last packet cut short by the end of the file

    const CaptureReading reading = ReadCaptureBytes(cut, {});
    EXPECT_EQ(Recorded(reading), (std::vector<std::vector<std::uint8_t>>{Position(0),
                                                                         Position(2000),
                                                                         Position(3000),
                                                                         Position(4000),
                                                                         Position(5000),
                                                                         unknown,
                                                                         {0x18, 0x10}}));
    const std::string problems = Problems(reading);
    EXPECT_NE(problems.find("packet 2: TCP 127.0.0.2:2300 -> 127.0.0.3:2300: 70 bytes were never captured"),
              problems.npos)
        << problems;
    EXPECT_NE(
        problems.find("packet 5: TCP 127.0.0.2:2300 -> 127.0.0.3:2300: 7 bytes between messages passed over"),
        problems.npos)
        << problems;
    EXPECT_NE(problems.find("packet 7: UDP 127.0.0.2:2350 -> 127.0.0.3:2350: a game message of type 0x1010"),
              problems.npos)
        << problems;
    EXPECT_NE(
        problems.find("packet 8: UDP 127.0.0.2:2350 -> 127.0.0.3:2350: a game message from 317478871 not "
                      "decoded: the message ends at byte"),
        problems.npos)
        << problems;
    EXPECT_NE(problems.find("packet 8: the capture stops here: truncated dump file"), problems.npos)
        << problems;
    const auto gap = std::ranges::find_if(reading.Report.Problems, [](const CaptureProblem& problem) {
        return problem.Text.find("never captured") != std::string::npos;
    });
    ASSERT_NE(gap, reading.Report.Problems.end());
    EXPECT_EQ(gap->Offset, 24u + 16 + 14 + 20 + 20 + NameTable(0).size() + 70)
        << "the second packet record starts after the file header and the first record";

    EXPECT_THROW(ReadCaptureBytes(std::vector<std::uint8_t>{1, 2, 3, 4}, {}), CaptureError);
}

TEST(CaptureReader, ReliableProtocolFramesArePutTogetherAndAcknowledgementsPassedOver) {
    PcapWriter capture;
    capture.AddTcp(kHost, kTower, NameTable(dp::session_flags::kDirectPlayProtocol));
    const MessageBytes chat = Encode(MsgChat{"a message long enough for two frames"});
    const std::uint32_t pilotIndex = (kPilot ^ 0x12345678) & 0xFFFF;
    namespace f = reliable_flags;
    const auto first =
        EncodeReliableData(pilotIndex, 3, f::kStart | f::kReliable, 1, 7, 0, std::span(chat).first(10));
    const auto second =
        EncodeReliableData(pilotIndex, 3, f::kEnd | f::kReliable, 1, 8, 1, std::span(chat).subspan(10));
    capture.AddUdp(kHostUdp, kTowerUdp, second);
    capture.AddUdp(kTowerUdp, kHostUdp,
                   std::vector<std::uint8_t>{3, 0x57, f::kAcknowledge, 1, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    capture.AddUdp(kHostUdp, kTowerUdp, first);
    capture.AddUdp(kHostUdp, kTowerUdp, first);  // sent again after the message was whole
    const CaptureReading reading = ReadCaptureBytes(capture.Bytes(), {});
    EXPECT_EQ(Problems(reading), "");
    ASSERT_EQ(Recorded(reading), std::vector<std::vector<std::uint8_t>>{chat});
    EXPECT_EQ(reading.Report.ReliableFrames, 4u);
    for (const RecordingLine& line : reading.Recorded.Lines) {
        if (const auto* m = std::get_if<RecordedMessage>(&line.Event)) {
            EXPECT_EQ(m->From, static_cast<std::int32_t>(kPilot)) << "the index is the pilot's id unmasked";
        }
    }
}

TEST(CaptureReader, ASilentMachineHearsAMessageToAllOnceAPlayerOnlyWhatReachedIt) {
    PcapWriter capture;
    capture.At(1'000'000);
    capture.AddTcp(kHost, kTower, NameTable(0), 1);
    capture.At(1'200'000);
    const auto accept =
        GameFrame(Encode(MsgJoinAccept{static_cast<std::int32_t>(kTowerPlayer)}), kTowerPlayer);
    capture.AddTcp(kHost, kTower, accept, 1 + static_cast<std::uint32_t>(NameTable(0).size()));
    const auto towerNext = 1 + static_cast<std::uint32_t>(NameTable(0).size() + accept.size());
    for (const Endpoint& machine : {kTower, kOther})
        capture.AddTcp(kHost, machine, GameFrame(Position(5)), machine == kTower ? towerNext : 9000);
    capture.At(1'500'000);
    capture.AddTcp(kHost, kOther, GameFrame(Position(6)),
                   9000 + static_cast<std::uint32_t>(GameFrame(Position(5)).size()));

    const CaptureReading silent = ReadCaptureBytes(capture.Bytes(), {});
    EXPECT_EQ(Recorded(silent),
              (std::vector<std::vector<std::uint8_t>>{
                  Encode(MsgJoinAccept{static_cast<std::int32_t>(kTowerPlayer)}), Position(5), Position(6)}));
    EXPECT_EQ(silent.Report.CopiesLeftOut, 1u);
    EXPECT_EQ(silent.Recorded.Lines.back().Time, std::chrono::milliseconds(500));
    EXPECT_TRUE(silent.Recorded.Header.JoinAccepted);

    CaptureReadOptions tower;
    tower.PlayerName = "Tower";
    const CaptureReading heard = ReadCaptureBytes(capture.Bytes(), tower);
    EXPECT_EQ(Recorded(heard),
              (std::vector<std::vector<std::uint8_t>>{
                  Encode(MsgJoinAccept{static_cast<std::int32_t>(kTowerPlayer)}), Position(5)}));
    const auto* own = std::get_if<RecordedOwnPlayer>(&heard.Recorded.Lines.at(0).Event);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Id, static_cast<std::int32_t>(kTowerPlayer));
    EXPECT_EQ(heard.Report.NotForThePlayer, 2u);
}

}  // namespace
}  // namespace tarnwick
