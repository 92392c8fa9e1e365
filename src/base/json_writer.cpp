#include "base/json_writer.h"

#include <cstdio>

#include "base/ansi.h"
#include "base/number_format.h"

namespace tarnwick {

void JsonWriter::NewLine() {
    if (!pretty_) return;
    out_.push_back('\n');
    out_.append(2 * hasElement_.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasElement_.empty()) {
        if (hasElement_.back()) out_.push_back(',');
        hasElement_.back() = true;
        NewLine();
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    out_.push_back('{');
    hasElement_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    const bool any = hasElement_.back();
    hasElement_.pop_back();
    if (any) NewLine();
    out_.push_back('}');
    if (hasElement_.empty() && pretty_) out_.push_back('\n');
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    out_.push_back('[');
    hasElement_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    const bool any = hasElement_.back();
    hasElement_.pop_back();
    if (any) NewLine();
    out_.push_back(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    Quoted(key);
    out_.append(pretty_ ? ": " : ":");
    afterKey_ = true;
    return *this;
}

void JsonWriter::Quoted(std::string_view utf8) {
    out_.push_back('"');
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out_.append("\\\"");
                break;
            case '\\':
                out_.append("\\\\");
                break;
            case '\n':
                out_.append("\\n");
                break;
            case '\r':
                out_.append("\\r");
                break;
            case '\t':
                out_.append("\\t");
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out_.append(escaped);
                } else {
                    out_.push_back(c);
                }
        }
    }
    out_.push_back('"');
}

JsonWriter& JsonWriter::Ansi(std::string_view text) { return Utf8(AnsiToUtf8(text)); }

JsonWriter& JsonWriter::Utf8(std::string_view text) {
    BeforeValue();
    Quoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    BeforeValue();
    out_.append(FormatRoundTrip(value));
    return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value) {
    BeforeValue();
    out_.append(std::to_string(value));
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    out_.append(value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    out_.append("null");
    return *this;
}

}  // namespace tarnwick
