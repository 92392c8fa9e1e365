#include "state/settings.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/file_system.h"

namespace tarnwick {

std::vector<std::uint8_t> EncodeSettings(const SettingsRecord& record) {
    ByteWriter w;
    w.Text(record.ProgramTitle);
    w.U8(record.SetupDone);
    w.U8(record.FsVersion);
    w.Text(record.FsFolder);
    w.I32(record.AirportCount);
    w.I32(record.AirspaceCount);
    return w.Take();
}

namespace {

std::string RecordProblem(const SettingsRecord& s) {
    if (s.ProgramTitle != kSettingsFileTitle || s.SetupDone != 1)
        return "it holds no settings record of this program";
    if (s.FsVersion > 1) return "it names an unknown simulator version " + std::to_string(s.FsVersion);
    if (s.AirportCount < 0 || s.AirspaceCount < 0)
        return "it gives a negative number of airports or airspaces";
    return {};
}

}  // namespace

SettingsReadResult DecodeSettings(std::span<const std::uint8_t> bytes) {
    SettingsReadResult result;
    SettingsRecord& s = result.Record;
    ByteReader r(bytes);
    try {
        s.ProgramTitle = r.Text();
        s.SetupDone = r.U8();
        s.FsVersion = r.U8();
        s.FsFolder = r.Text();
        s.AirportCount = r.I32();
        s.AirspaceCount = r.I32();
    } catch (const EndOfData& end) {
        result.Complete = false;
        result.Problem = "the settings record is cut off at byte " + std::to_string(end.Offset());
        return result;
    }
    result.Problem = RecordProblem(s);
    return result;
}

SettingsReadResult ReadSettingsFile(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    auto result = DecodeSettings(bytes);
    if (!result.Problem.empty()) result.Problem = path.filename().string() + ": " + result.Problem;
    return result;
}

void WriteSettingsFile(const std::filesystem::path& path, const SettingsRecord& record) {
    std::vector<std::uint8_t> bytes = EncodeSettings(record);
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        const auto old = ReadWholeFile(path);
        if (old.size() > bytes.size())
            bytes.insert(bytes.end(), old.begin() + static_cast<std::ptrdiff_t>(bytes.size()), old.end());
    }
    WriteFileAtomically(path, bytes);
}

}  // namespace tarnwick
