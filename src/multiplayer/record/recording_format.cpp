#include "multiplayer/record/recording_format.h"

#include <limits>

#include "base/ansi.h"
#include "base/json_reader.h"
#include "base/json_writer.h"

namespace tarnwick {
namespace {

constexpr const char* kFormatKey = "tarnwick_recording";

std::string AnsiOf(const JsonValue& object, std::string_view key) {
    const std::optional<std::string> ansi = Utf8ToAnsi(object.String(key));
    if (!ansi) throw RecordingError("\"" + std::string(key) + "\" has a character outside Windows-1252");
    return *ansi;
}

std::int32_t IdOf(const JsonValue& object, std::string_view key) {
    const std::int64_t value = object.Integer(key);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw RecordingError("\"" + std::string(key) + "\" is not a 32-bit number");
    return static_cast<std::int32_t>(value);
}

void WriteMembers(JsonWriter& json, const std::vector<SessionMember>& members) {
    json.Key("members").BeginArray();
    for (const SessionMember& member : members)
        json.BeginObject().Key("id").Integer(member.Id).Key("name").Ansi(member.ShortName).EndObject();
    json.EndArray();
}

struct EventWriter {
    JsonWriter& json;
    void operator()(const RecordedMessage& m) const {
        json.Key("kind").Utf8("message").Key("from").Integer(m.From).Key("to").Integer(m.To);
        json.Key("bytes").Utf8(HexText(m.Bytes));
        if (m.Earlier) json.Key("earlier").Bool(true);
    }
    void operator()(const RecordedSession& s) const {
        const SessionDescription& d = s.Description;
        json.Key("kind").Utf8("session").Key("name").Ansi(d.SessionName);
        json.Key("players").Integer(d.CurrentPlayers).Key("max_players").Integer(d.MaxPlayers);
        json.Key("application").Ansi(d.GuidApplication);
    }
    void operator()(const RecordedOwnPlayer& o) const {
        json.Key("kind").Utf8("own").Key("id").Integer(o.Id).Key("name").Ansi(o.Name);
    }
    void operator()(const RecordedMembers& m) const {
        json.Key("kind").Utf8(m.Groups ? "groups" : "players");
        WriteMembers(json, m.Members);
    }
    void operator()(const RecordedName& n) const {
        json.Key("kind").Utf8("name").Key("id").Integer(n.Id).Key("name").Ansi(n.Name);
    }
    void operator()(const RecordedLoss&) const { json.Key("kind").Utf8("lost"); }
    void operator()(const RecordedEnd&) const { json.Key("kind").Utf8("end"); }
};

RecordingEvent ReadEvent(const JsonValue& line) {
    const std::string& kind = line.String("kind");
    if (kind == "message") {
        RecordedMessage m;
        m.From = IdOf(line, "from");
        m.To = IdOf(line, "to");
        m.Bytes = HexBytes(line.String("bytes"));
        m.Earlier = line.Has("earlier") && line.Bool("earlier");
        return m;
    }
    if (kind == "session") {
        RecordedSession s;
        s.Description.SessionName = AnsiOf(line, "name");
        s.Description.CurrentPlayers = IdOf(line, "players");
        s.Description.MaxPlayers = IdOf(line, "max_players");
        s.Description.GuidApplication = AnsiOf(line, "application");
        return s;
    }
    if (kind == "own") return RecordedOwnPlayer{IdOf(line, "id"), AnsiOf(line, "name")};
    if (kind == "players" || kind == "groups") {
        RecordedMembers m;
        m.Groups = kind == "groups";
        for (const JsonValue& member : line.Array("members")) {
            if (member.Type != JsonValue::Kind::Object) throw RecordingError("a member is not an object");
            m.Members.push_back({AnsiOf(member, "name"), IdOf(member, "id")});
        }
        return m;
    }
    if (kind == "name") return RecordedName{IdOf(line, "id"), AnsiOf(line, "name")};
    if (kind == "lost") return RecordedLoss{};
    if (kind == "end") return RecordedEnd{};
    throw RecordingError("unknown kind \"" + kind + "\"");
}

JsonValue ParseObject(std::string_view text) {
    JsonValue value;
    try {
        value = ParseJson(text);
    } catch (const JsonError& error) {
        throw RecordingError(std::string("not JSON: ") + error.what());
    }
    if (value.Type != JsonValue::Kind::Object) throw RecordingError("not a JSON object");
    return value;
}

}  // namespace

std::string HexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

std::vector<std::uint8_t> HexBytes(std::string_view hex) {
    if (hex.size() % 2 != 0) throw RecordingError("the bytes have an odd number of hex digits");
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw RecordingError("the bytes hold a character that is not a hex digit");
    };
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) << 4 | digit(hex[i + 1])));
    return bytes;
}

std::string FormatRecordingHeader(const RecordingHeader& header) {
    JsonWriter json(false);
    json.BeginObject().Key(kFormatKey).Integer(header.Version).Key("source").Utf8(header.Source);
    json.Key("area_kind").Ansi(header.AreaKind).Key("area").Ansi(header.AreaTitle);
    json.Key("join_accepted").Bool(header.JoinAccepted).EndObject();
    return json.Text();
}

std::string FormatRecordingLine(const RecordingLine& line) {
    JsonWriter json(false);
    json.BeginObject().Key("t").Integer(line.Time.count());
    std::visit(EventWriter{json}, line.Event);
    json.EndObject();
    return json.Text();
}

RecordingHeader ParseRecordingHeader(std::string_view text) {
    const JsonValue value = ParseObject(text);
    if (!value.Has(kFormatKey)) throw RecordingError("not a Tarnwick recording");
    try {
        RecordingHeader header;
        const std::int64_t version = value.Integer(kFormatKey);
        if (version < 1 || version > kRecordingVersion)
            throw RecordingError("a recording of format version " + std::to_string(version) +
                                 ", which this program does not read (it reads up to " +
                                 std::to_string(kRecordingVersion) + ")");
        header.Version = static_cast<int>(version);
        header.Source = value.String("source");
        header.AreaKind = AnsiOf(value, "area_kind");
        header.AreaTitle = AnsiOf(value, "area");
        header.JoinAccepted = value.Bool("join_accepted");
        return header;
    } catch (const JsonError& error) {
        throw RecordingError(error.what());
    }
}

RecordingLine ParseRecordingLine(std::string_view text) {
    const JsonValue value = ParseObject(text);
    try {
        RecordingLine line;
        const std::int64_t time = value.Integer("t");
        if (time < 0) throw RecordingError("a time before the recording's start");
        line.Time = std::chrono::milliseconds(time);
        line.Event = ReadEvent(value);
        return line;
    } catch (const JsonError& error) {
        throw RecordingError(error.what());
    }
}

Recording ReadRecording(std::istream& in) {
    Recording recording;
    std::string text;
    if (!std::getline(in, text)) throw RecordingError("the file is empty");
    try {
        recording.Header = ParseRecordingHeader(text);
    } catch (const RecordingError& error) {
        throw RecordingError(std::string("line 1: ") + error.what());
    }
    for (std::size_t number = 2; std::getline(in, text); ++number) {
        if (text.empty()) continue;
        // A program that stopped in the middle of a line leaves it cut short
        // and without its line end.
        const bool lastCut = in.eof();
        try {
            RecordingLine line = ParseRecordingLine(text);
            if (!recording.Lines.empty() && line.Time < recording.Lines.back().Time)
                throw RecordingError("its time goes back");
            recording.Lines.push_back(std::move(line));
        } catch (const RecordingError& error) {
            recording.Problems.push_back("line " + std::to_string(number) + ": " +
                                         (lastCut ? "cut short" : error.what()) +
                                         "; the recording is read up to the line before");
            break;
        }
    }
    return recording;
}

}  // namespace tarnwick
