#include "traffic_file.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/ansi.h"

namespace tarnwick::tools {
namespace {

using nlohmann::json;

class Reader {
   public:
    explicit Reader(std::string path) : path_(std::move(path)) {}

    [[noreturn]] void Fail(const std::string& what) const { throw TrafficFileError(path_ + ": " + what); }

    std::string Text(const json& value, const std::string& key) const {
        if (!value.is_string()) Fail(key + " is not a text");
        const std::optional<std::string> ansi = Utf8ToAnsi(value.get<std::string>());
        if (!ansi) Fail(key + " has characters Windows-1252 cannot hold");
        return *ansi;
    }

    std::int32_t Integer(const json& value, const std::string& key) const {
        if (!value.is_number_integer()) Fail(key + " is not a whole number");
        if (value.is_number_unsigned()
                ? value.get<std::uint64_t>() > std::numeric_limits<std::int32_t>::max()
                : (value.get<std::int64_t>() < std::numeric_limits<std::int32_t>::min() ||
                   value.get<std::int64_t>() > std::numeric_limits<std::int32_t>::max())) {
            Fail(key + " does not fit 32 bits");
        }
        return static_cast<std::int32_t>(value.get<std::int64_t>());
    }

    double Number(const json& value, const std::string& key) const {
        if (!value.is_number()) Fail(key + " is not a number");
        return value.get<double>();
    }

    // `derived`: the keys tarnwick-session adds to an entry, which the
    // motion history works out again, are passed over.
    PlayerRecord Player(const json& value, std::size_t index, bool derived = false,
                        const std::string& list = "Players") const {
        const std::string where = list + "[" + std::to_string(index) + "]";
        if (!value.is_object()) Fail(where + " is not an object");
        PlayerRecord record;
        for (const auto& [key, field] : value.items()) {
            const std::string name = where + "." + key;
            if (key == "Name") {
                record.Name = Text(field, name);
            } else if (key == "PlayerId") {
                record.PlayerId = Integer(field, name);
            } else if (key == "Kind") {
                record.Kind = Text(field, name);
            } else if (key == "Altitude") {
                record.Altitude = Integer(field, name);
            } else if (key == "Heading") {
                record.Heading = Number(field, name);
            } else if (key == "Longitude") {
                record.Longitude = Number(field, name);
            } else if (key == "Latitude") {
                record.Latitude = Number(field, name);
            } else if (key == "Category") {
                record.Category = Text(field, name);
            } else if (key == "Aircraft") {
                record.Aircraft = Text(field, name);
            } else if (derived &&
                       (key == "GroundSpeedKt" || key == "TrackTrue" || key == "VerticalSpeedFpm")) {
                continue;
            } else {
                Fail("unknown key " + name);
            }
        }
        return record;
    }

    void Rename(std::string path) { path_ = std::move(path); }

   private:
    std::string path_;
};

// The text of a file, or a TrafficFileError.
std::string Contents(const Reader& reader, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) reader.Fail("cannot be read");
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace

std::string ReadTrafficFile(const std::string& path, SessionState& session) {
    const Reader reader(path);
    json root;
    try {
        root = json::parse(Contents(reader, path));
    } catch (const json::exception& error) {
        reader.Fail(error.what());
    }
    if (!root.is_object()) reader.Fail("is not a JSON object");
    std::string ownName;
    for (const auto& [key, value] : root.items()) {
        if (key == "OwnPlayerId") {
            session.OwnPlayerId = reader.Integer(value, key);
        } else if (key == "OwnName") {
            ownName = reader.Text(value, key);
        } else if (key == "Players") {
            if (!value.is_array()) reader.Fail("Players is not a list");
            for (std::size_t i = 0; i < value.size(); ++i) {
                PlayerRecord record = reader.Player(value[i], i);
                if (!session.Traffic.Append(record.Name, record.PlayerId, record.Kind)) {
                    reader.Fail("more players than the traffic table holds");
                }
                session.Traffic.Entries().back() = std::move(record);
            }
        } else {
            reader.Fail("unknown key " + key);
        }
    }
    return ownName;
}

void ReadTrafficLog(const std::string& path, double atSeconds, const std::string& ownName,
                    SessionState& session) {
    Reader reader(path);
    std::istringstream lines(Contents(reader, path));
    std::size_t number = 0;
    double lastSeconds = 0.0;
    for (std::string line; std::getline(lines, line);) {
        reader.Rename(path + ":" + std::to_string(++number));
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        json root;
        try {
            root = json::parse(line);
        } catch (const json::exception& error) {
            reader.Fail(error.what());
        }
        if (!root.is_object()) reader.Fail("is not a JSON object");
        if (!root.contains("traffic")) continue;  // chat and messages
        const json& time = root.contains("time") ? root["time"] : json();
        const double seconds = reader.Number(time, "time");
        if (!(seconds >= lastSeconds)) reader.Fail("time goes back");
        lastSeconds = seconds;
        if (seconds > atSeconds) break;
        const json& entries = root["traffic"];
        if (!entries.is_array()) reader.Fail("traffic is not a list");
        TrafficTable table;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            PlayerRecord record = reader.Player(entries[i], i, true, "traffic");
            if (!table.Append(record.Name, record.PlayerId, record.Kind))
                reader.Fail("more players than the traffic table holds");
            table.Entries().back() = std::move(record);
        }
        session.Traffic = std::move(table);
        session.Motion.Observe(session.Traffic, std::chrono::milliseconds(std::llround(seconds * 1000.0)));
    }
    for (const PlayerRecord& entry : session.Traffic.Entries()) {
        if (entry.Name != ownName) continue;
        session.OwnPlayerId = entry.PlayerId;
        break;
    }
}

}  // namespace tarnwick::tools
