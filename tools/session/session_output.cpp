#include "session_output.h"

#include <cstdio>

#include <cmath>
#include <optional>

#include "base/ansi.h"
#include "base/json_writer.h"
#include "base/rounding.h"
#include "scenery/record_json.h"

namespace tarnwick::tools {
namespace {

double Seconds(std::chrono::milliseconds time) { return static_cast<double>(time.count()) / 1000.0; }

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    // Scripts read the session as it goes.
    std::fflush(stdout);
}

// A whole number, or null while unknown.
void WholeOrNull(JsonWriter& json, const char* key, std::optional<double> value, double modulo = 0) {
    json.Key(key);
    if (!value) {
        json.Null();
        return;
    }
    double whole = RoundHalfEven(*value);
    if (modulo > 0) whole = std::fmod(whole, modulo);
    json.Integer(static_cast<std::int64_t>(whole));
}

}  // namespace

void SessionOutput::Traffic(std::chrono::milliseconds time, const TrafficTable& table,
                            const MotionHistory& motion) const {
    if (json_) {
        JsonWriter json(false);
        json.BeginObject().Key("time").Number(Seconds(time)).Key("traffic").BeginArray();
        for (const PlayerRecord& entry : table.Entries()) {
            json.BeginObject();
            WriteJsonFields(json, entry);
            const Motion moving = motion.MotionOf(KeyOf(entry));
            WholeOrNull(json, "GroundSpeedKt", moving.GroundSpeedKt);
            // 359.6 degrees is north, 0.
            WholeOrNull(json, "TrackTrue", moving.TrackTrue, 360);
            WholeOrNull(json, "VerticalSpeedFpm", moving.VerticalSpeedFpm);
            json.EndObject();
        }
        json.EndArray().EndObject();
        PrintLine(json.Text());
        return;
    }
    std::printf("[%.1f s] traffic table, %d entries\n", Seconds(time), table.PlayerCount());
    for (const PlayerRecord& e : table.Entries()) {
        std::printf("  %-20s %8d %-8s %6d ft  hdg %3.0f  %10.5f %11.5f  %s  %s\n", AnsiToUtf8(e.Name).c_str(),
                    e.PlayerId, e.Kind.c_str(), e.Altitude, e.Heading, e.Latitude, e.Longitude,
                    AnsiToUtf8(e.Category).c_str(), AnsiToUtf8(e.Aircraft).c_str());
    }
    std::fflush(stdout);
}

void SessionOutput::Chat(std::chrono::milliseconds time, const std::string& line) const {
    if (json_) {
        JsonWriter json(false);
        json.BeginObject().Key("time").Number(Seconds(time)).Key("chat").Ansi(line).EndObject();
        PrintLine(json.Text());
        return;
    }
    std::printf("[%.1f s] chat: %s\n", Seconds(time), AnsiToUtf8(line).c_str());
    std::fflush(stdout);
}

void SessionOutput::Message(const UserMessage& message) const {
    const std::string text = AnsiToUtf8(message.Text);
    std::fprintf(stderr, "%s: %s\n", kMessageTitle, text.c_str());
    if (!json_) return;
    JsonWriter json(false);
    json.BeginObject().Key("message").Utf8(text).EndObject();
    PrintLine(json.Text());
}

void SessionOutput::Problem(const std::string& text) const {
    std::fprintf(stderr, "tarnwick-session: %s\n", text.c_str());
}

}  // namespace tarnwick::tools
