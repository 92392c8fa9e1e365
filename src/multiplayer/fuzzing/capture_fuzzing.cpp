#include "multiplayer/fuzzing/capture_fuzzing.h"

#include <pcap/dlt.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "multiplayer/capture/capture_reader.h"
#include "multiplayer/record/recording_sink.h"

namespace tarnwick {
namespace {

class StringSink final : public RecordingSink {
   public:
    void Write(std::string_view line) override { text_.append(line).push_back('\n'); }
    void Flush() override {}
    std::uint64_t Size() const override { return text_.size(); }
    const std::string& Text() const { return text_; }

   private:
    std::string text_;
};

void Require(bool holds, const char* invariant) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", invariant);
    std::abort();
}

}  // namespace

void FuzzCaptureReader(std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    static constexpr std::array<std::uint32_t, 5> kLinkTypes = {DLT_EN10MB, DLT_LINUX_SLL, DLT_LINUX_SLL2,
                                                                DLT_NULL, DLT_RAW};
    const std::uint32_t link = kLinkTypes[data[0] % kLinkTypes.size()];
    std::vector<std::uint8_t> file = {0xD4, 0xC3, 0xB2, 0xA1, 2, 0, 4,    0,    0, 0,
                                      0,    0,    0,    0,    0, 0, 0xFF, 0xFF, 0, 0};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(link >> (8 * i)));
    file.insert(file.end(), data.begin() + 1, data.end());

    CaptureReadOptions options;
    options.PlayerName = (data[0] & 0x80) ? "N1" : "";
    CaptureReading reading;
    try {
        reading = ReadCaptureBytes(file, options);
    } catch (const CaptureError&) {
        return;
    }
    for (const CaptureProblem& problem : reading.Report.Problems)
        Require(problem.Packet <= reading.Report.Packets, "a problem in a packet that was read");
    (void)CaptureReportLines(reading.Report);

    StringSink sink;
    WriteRecording(reading.Recorded, sink);
    std::istringstream in(sink.Text());
    const Recording back = ReadRecording(in);
    Require(back.Problems.empty(), "the recording read from a capture reads back without problems");
    Require(back.Lines.size() == reading.Recorded.Lines.size(), "the recording reads back whole");
}

}  // namespace tarnwick
