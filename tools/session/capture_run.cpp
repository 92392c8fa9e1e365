#include "capture_run.h"

#include "base/ansi.h"
#include "multiplayer/capture/capture_reader.h"
#include "multiplayer/record/recording_sink.h"

namespace tarnwick::tools {

int ReadCapture(const std::filesystem::path& capture, const std::string& playerUtf8,
                const std::optional<std::filesystem::path>& recordTo, const SessionOutput& out) {
    CaptureReadOptions options;
    options.PlayerName = Utf8ToAnsi(playerUtf8).value_or(playerUtf8);
    options.Source = "capture " + capture.filename().string();
    CaptureReading reading;
    try {
        reading = ReadCaptureFile(capture, options);
    } catch (const CaptureError& error) {
        out.Problem(std::string("not a packet capture: ") + error.what());
        return 1;
    }
    for (const std::string& line : CaptureReportLines(reading.Report)) out.Problem(line);
    if (!recordTo) return 0;
    try {
        WriteRecording(reading.Recorded, *OpenRecordingFile(*recordTo));
    } catch (const RecordingError& error) {
        out.Problem(error.what());
        return 1;
    }
    return 0;
}

}  // namespace tarnwick::tools
