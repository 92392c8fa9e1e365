// The recording's lines read back to what was written, damage is named, and
// a recording started in the middle of a session replays what the program
// already knew; a writer that fails stops the recording alone.
#include <gtest/gtest.h>

#include <sstream>

#include "base/json_reader.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/record/recording_format.h"
#include "multiplayer/record/recording_transport.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/record/session_recorder.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

TEST(RecordingFormat, EveryKindOfLineReadsBackAsWritten) {
    SessionDescription session;
    session.SessionName = "Caf\xE9 approach";  // Windows-1252 é
    session.CurrentPlayers = 3;
    session.MaxPlayers = 16;
    session.GuidApplication = "{5D1B}";
    const std::vector<RecordingLine> lines = {
        {milliseconds(0), RecordedSession{session}},
        {milliseconds(0), RecordedOwnPlayer{-2147483647, "Tower"}},
        {milliseconds(5), RecordedMembers{false, {{"N1", 7}, {"Tower", -2147483647}}}},
        {milliseconds(5), RecordedMembers{true, {}}},
        {milliseconds(9), RecordedMessage{7, -2147483647, {0x18, 0x10, 0, 0, 0xFF}, true}},
        {milliseconds(9), RecordedName{8, "Late"}},
        {milliseconds(1234567), RecordedLoss{}},
        {milliseconds(1234568), RecordedEnd{}},
    };
    for (const RecordingLine& line : lines) {
        const std::string text = FormatRecordingLine(line);
        EXPECT_EQ(text.find('\n'), std::string::npos);
        EXPECT_EQ(FormatRecordingLine(ParseRecordingLine(text)), text);
    }
    RecordingHeader header;
    header.Source = "tarnwick 2.0";
    header.AreaKind = "Airport";
    header.AreaTitle = "Seattle Tacoma Intl  (KSEA)";
    header.JoinAccepted = true;
    EXPECT_EQ(FormatRecordingHeader(ParseRecordingHeader(FormatRecordingHeader(header))),
              FormatRecordingHeader(header));
    EXPECT_EQ(FormatRecordingLine(lines[4]),
              R"({"t":9,"kind":"message","from":7,"to":-2147483647,"bytes":"18100000ff","earlier":true})");
}

TEST(RecordingFormat, DamagedLinesAreRefusedWithTheirReason) {
    const auto reason = [](std::string_view text) {
        try {
            ParseRecordingLine(text);
        } catch (const RecordingError& error) {
            return std::string(error.what());
        }
        return std::string("read");
    };
    EXPECT_EQ(reason(R"({"t":1,"kind":"message","from":1,"to":2,"bytes":"0g"})"),
              "the bytes hold a character that is not a hex digit");
    EXPECT_EQ(reason(R"({"t":1,"kind":"message","from":1,"to":2,"bytes":"012"})"),
              "the bytes have an odd number of hex digits");
    EXPECT_EQ(reason(R"({"t":1,"kind":"message","from":4294967296,"to":2,"bytes":""})"),
              "\"from\" is not a 32-bit number");
    EXPECT_EQ(reason(R"({"t":-1,"kind":"lost"})"), "a time before the recording's start");
    EXPECT_EQ(reason(R"({"t":1.5,"kind":"lost"})"), "\"t\" is not a whole number");
    EXPECT_EQ(reason(R"({"t":1,"kind":"teleport"})"), "unknown kind \"teleport\"");
    EXPECT_EQ(reason(R"({"t":1,"kind":"own","id":1,"name":"\u4e00"})"),
              "\"name\" has a character outside Windows-1252");
    EXPECT_EQ(reason(R"({"t":1,"kind":"lost"} x)"), "not JSON: text after the value at offset 22");
    EXPECT_EQ(reason("[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]"), "not JSON: nesting too deep at offset 17");
    EXPECT_THROW(ParseRecordingHeader(R"({"tarnwick_recording":2,"source":"","area_kind":"","area":"",)"
                                      R"("join_accepted":false})"),
                 RecordingError);

    std::istringstream backwards(FormatRecordingHeader({}) + "\n" + R"({"t":5,"kind":"lost"})" + "\n" +
                                 R"({"t":4,"kind":"end"})" + "\n");
    const Recording read = ReadRecording(backwards);
    EXPECT_EQ(read.Lines.size(), 1u);
    ASSERT_EQ(read.Problems.size(), 1u);
    EXPECT_EQ(read.Problems[0], "line 3: its time goes back; the recording is read up to the line before");
}

// A sink in memory that can be made to fail.
class MemorySink final : public RecordingSink {
   public:
    explicit MemorySink(std::string& text, int& flushes, bool& full)
        : text_(text), flushes_(flushes), full_(full) {}
    void Write(std::string_view line) override {
        if (full_) throw RecordingError("no space left");
        text_.append(line).push_back('\n');
    }
    void Flush() override { ++flushes_; }
    std::uint64_t Size() const override { return text_.size(); }

   private:
    std::string& text_;
    int& flushes_;
    bool& full_;
};

// A session of the program's own player and a pilot, joined before recording.
struct JoinedSession : SessionTransport {
    std::vector<std::string> ConnectionTypes() override { return {"Test"}; }
    void StartInitializeConnection(int) override {}
    void StartEnumerateSessions() override {}
    void StartOpen(const SessionDescription&) override {}
    void StartCreatePlayer(const std::string&, const std::string&) override {}
    Progress Advance() override { return Progress::Finished; }
    ProviderQuestion Question() override { return {}; }
    void Answer(std::optional<std::string>) override {}
    std::vector<SessionDescription> FoundSessions() override { return {}; }
    std::int32_t CreatedPlayer() override { return 2; }
    void Send(std::int32_t, std::int32_t, std::span<const std::uint8_t>) override {}
    std::int32_t MessageCount(std::int32_t) override { return static_cast<std::int32_t>(waiting.size()); }
    ReceivedMessage Receive() override {
        ReceivedMessage m = waiting.front();
        waiting.erase(waiting.begin());
        return m;
    }
    std::vector<SessionMember> Groups() override { return {{"FS61_REFUSE_PARAMS", 1}}; }
    std::vector<SessionMember> Players() override { return {{"Tower", 2}, {"N1", 7}}; }
    void AddPlayerToGroup(std::int32_t, std::int32_t) override {}
    std::string FriendlyName(std::int32_t id) override { return id == 2 ? "Tower" : "N1"; }
    void DestroyPlayer(std::int32_t) override {}
    void Close() override {}
    bool SessionLost() override { return false; }
    std::vector<ReceivedMessage> waiting;
};

TEST(SessionRecorder, ARecordingStartedLateBeginsWithWhatTheProgramKnew) {
    milliseconds now{50000};
    auto recorder = std::make_shared<SessionRecorder>([&now] { return now; });
    auto session = std::make_unique<JoinedSession>();
    JoinedSession& live = *session;
    RecordingTransport transport(std::move(session), recorder);
    transport.StartOpen(SessionDescription{"Evening", 2, 8, "{G}", ""});
    transport.StartCreatePlayer("Tower", "Player");
    ASSERT_EQ(transport.CreatedPlayer(), 2);
    (void)transport.Players();
    MsgPosition position;
    position.Words.LatitudeWord = 5000000;
    const std::vector<ReceivedMessage> before = {{7, 2, Encode(MsgJoinAccept{7})},
                                                 {7, 2, Encode(MsgPosition{})},
                                                 {7, 2, Encode(MsgChat{"hi"})},
                                                 {7, 2, Encode(position)}};
    live.waiting = before;
    for (int n = transport.MessageCount(2); n > 0; --n) transport.Receive();

    std::string text;
    int flushes = 0;
    bool full = false;
    recorder->Start(std::make_unique<MemorySink>(text, flushes, full),
                    RecordingHeader{1, "test", "", "", true});
    now += milliseconds(400);
    live.waiting = {{7, 2, Encode(MsgChat{"later"})}};
    for (int n = transport.MessageCount(2); n > 0; --n) transport.Receive();
    now += milliseconds(700);
    (void)transport.MessageCount(2);
    recorder->Stop();
    EXPECT_EQ(flushes, 2) << "once a second while recording, and at the end";
    EXPECT_EQ(recorder->RecordedBytes(), text.size());

    std::istringstream in(text);
    Recording recording = ReadRecording(in);
    ASSERT_TRUE(recording.Problems.empty());
    std::vector<std::vector<std::uint8_t>> earlier;
    for (const RecordingLine& line : recording.Lines)
        if (const auto* m = std::get_if<RecordedMessage>(&line.Event); m && m->Earlier)
            earlier.push_back(m->Bytes);
    EXPECT_EQ(earlier, (std::vector<std::vector<std::uint8_t>>{before[0].Bytes, before[3].Bytes}))
        << "the identification and the last position, not the chat nor the older position";

    // The replay accepts the join itself and then gives the earlier words
    // at once, the later chat 400 ms on.
    milliseconds replayNow{0};
    auto clock = std::make_shared<ReplayClock>([&replayNow] { return replayNow; });
    ReplayTransport replay(clock, std::move(recording));
    replay.StartInitializeConnection(1);
    ASSERT_EQ(replay.Advance(), Progress::Finished);
    EXPECT_EQ(replay.FoundSessions().at(0).SessionName, "Evening");
    replay.StartCreatePlayer("someone", "Player");
    EXPECT_EQ(replay.CreatedPlayer(), 2);
    replay.Send(2, kAllPlayers, Encode(MsgJoinRequest{}));
    ASSERT_EQ(replay.MessageCount(2), 3);
    EXPECT_EQ(replay.Receive().Bytes, Encode(MsgJoinAccept{2}));
    EXPECT_EQ(replay.Receive().Bytes, before[0].Bytes);
    EXPECT_EQ(replay.Receive().Bytes, before[3].Bytes);
    EXPECT_EQ(replay.FriendlyName(7), "N1");
    replayNow += milliseconds(399);
    EXPECT_EQ(replay.MessageCount(2), 0);
    replayNow += milliseconds(1);
    EXPECT_EQ(replay.MessageCount(2), 1);
    EXPECT_EQ(replay.Receive().Bytes, Encode(MsgChat{"later"}));
    replayNow += milliseconds(1000);
    EXPECT_TRUE(replay.Ended());

    // A full disk: the recording stops with the reason, the messages still pass.
    full = true;
    recorder->Start(std::make_unique<MemorySink>(text, flushes, full), RecordingHeader{});
    EXPECT_FALSE(recorder->Recording());
    EXPECT_EQ(recorder->TakeFailure(), "The recording stopped: no space left. The session goes on.");
    EXPECT_EQ(recorder->TakeFailure(), std::nullopt) << "told once";
    live.waiting = {{7, 2, Encode(MsgChat{"still here"})}};
    ASSERT_EQ(transport.MessageCount(2), 1);
    EXPECT_EQ(transport.Receive().Bytes, Encode(MsgChat{"still here"}));
}

TEST(ReplayClock, RunsAtItsSpeedAndStandsStillWhilePaused) {
    milliseconds base{1000};
    ReplayClock clock([&base] { return base; });
    base += milliseconds(100);
    EXPECT_EQ(clock.Now(), milliseconds(100));
    clock.SetSpeed(8);
    base += milliseconds(100);
    EXPECT_EQ(clock.Now(), milliseconds(900));
    clock.SetPaused(true);
    base += milliseconds(5000);
    EXPECT_EQ(clock.Now(), milliseconds(900));
    clock.SetPaused(false);
    clock.SetSpeed(3);
    EXPECT_EQ(clock.Speed(), 1);
    base += milliseconds(10);
    EXPECT_EQ(clock.Now(), milliseconds(910));
    clock.JumpTo(milliseconds(0));
    EXPECT_EQ(clock.Now(), milliseconds(0));
}

}  // namespace
}  // namespace tarnwick
