#pragma once
// A small streaming JSON writer for the command-line tools. Texts given to it
// are ANSI bytes and come out as UTF-8; doubles come out so that they read back
// to the same value.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class JsonWriter {
   public:
    explicit JsonWriter(bool pretty = true) : pretty_(pretty) {}

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);

    JsonWriter& Ansi(std::string_view text);  // ANSI bytes, converted to UTF-8
    JsonWriter& Utf8(std::string_view text);
    JsonWriter& Number(double value);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return out_; }

   private:
    void BeforeValue();
    void NewLine();
    void Quoted(std::string_view utf8);

    bool pretty_;
    std::string out_;
    // Per open container: whether it already holds an element.
    std::vector<bool> hasElement_;
    bool afterKey_ = false;
};

}  // namespace tarnwick
