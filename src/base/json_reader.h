#pragma once
// Reads one JSON text into a small tree, for the program's own line formats.
// Strict: anything that is not JSON, nesting deeper than a few levels, or a
// number that is not a finite double fails with the reason and the offset.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class JsonError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind Type = Kind::Null;
    bool Boolean = false;
    double Number = 0.0;
    std::string Text;  // UTF-8
    std::vector<JsonValue> Items;
    std::map<std::string, JsonValue, std::less<>> Members;

    bool Has(std::string_view key) const { return Members.find(key) != Members.end(); }
    // The member or nothing; wrong types throw JsonError naming the key.
    const JsonValue* Find(std::string_view key) const;
    const JsonValue& At(std::string_view key) const;
    std::int64_t Integer(std::string_view key) const;
    const std::string& String(std::string_view key) const;
    bool Bool(std::string_view key) const;
    const std::vector<JsonValue>& Array(std::string_view key) const;
};

// Throws JsonError.
JsonValue ParseJson(std::string_view text);

}  // namespace tarnwick
