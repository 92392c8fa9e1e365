#include "scenery/record_json.h"

#include <type_traits>

#include "state/record_fields.h"

namespace tarnwick {
namespace {

// Writes each field under its name; a list as its count, then its filled
// elements (as many as the count says, never past the slots). A summary
// writes only the fields tagged for it, and of a list only its count.
class JsonFields {
   public:
    JsonFields(JsonWriter& json, FieldTag shown) : json_(json), summary_(shown == FieldTag::Summary) {}
    void operator()(const char* name, const std::string& v, FieldTag tag) {
        if (Shown(tag)) json_.Key(name).Ansi(v);
    }
    void operator()(const char* name, double v, FieldTag tag) {
        if (Shown(tag)) json_.Key(name).Number(v);
    }
    template <typename Integer>
    requires std::is_integral_v<Integer>
    void operator()(const char* name, Integer v, FieldTag tag) {
        if (Shown(tag)) json_.Key(name).Integer(v);
    }

    template <typename T>
    void List(const char* name, const SlotList<T>& list, const char* countName, std::int32_t count,
              FieldTag tag) {
        if (!Shown(tag)) return;
        json_.Key(countName).Integer(count);
        if (summary_) return;
        json_.Key(name).BeginArray();
        for (const T& element : list.Filled(count)) WriteObject(json_, element, FieldTag::Full);
        json_.EndArray();
    }

    template <typename Record>
    static void WriteObject(JsonWriter& json, const Record& record, FieldTag shown) {
        JsonFields fields(json, shown);
        json.BeginObject();
        VisitFields(record, fields);
        json.EndObject();
    }

   private:
    bool Shown(FieldTag tag) const { return !summary_ || tag == FieldTag::Summary; }

    JsonWriter& json_;
    bool summary_;
};

}  // namespace

void WriteJson(JsonWriter& json, const SettingsRecord& s) {
    json.BeginObject();
    json.Key("ProgramTitle").Ansi(s.ProgramTitle);
    json.Key("SetupDone").Integer(s.SetupDone);
    json.Key("FsVersion").Integer(s.FsVersion);
    json.Key("FsFolder").Ansi(s.FsFolder);
    json.Key("AirportCount").Integer(s.AirportCount);
    json.Key("AirspaceCount").Integer(s.AirspaceCount);
    json.EndObject();
}

void WriteJson(JsonWriter& json, const AirportRecord& airport) {
    JsonFields::WriteObject(json, airport, FieldTag::Full);
}

void WriteJson(JsonWriter& json, const AirspaceRecord& airspace) {
    JsonFields::WriteObject(json, airspace, FieldTag::Full);
}

void WriteJson(JsonWriter& json, const PlayerRecord& entry) {
    JsonFields::WriteObject(json, entry, FieldTag::Full);
}

void WriteJsonFields(JsonWriter& json, const PlayerRecord& entry) {
    JsonFields fields(json, FieldTag::Full);
    VisitFields(entry, fields);
}

void WriteJsonSummary(JsonWriter& json, const AirportRecord& airport) {
    JsonFields::WriteObject(json, airport, FieldTag::Summary);
}

void WriteJsonSummary(JsonWriter& json, const AirspaceRecord& airspace) {
    JsonFields::WriteObject(json, airspace, FieldTag::Summary);
}

}  // namespace tarnwick
