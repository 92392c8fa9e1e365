#include "base/json_reader.h"

#include <cmath>
#include <cstdlib>

#include "base/ansi.h"

namespace tarnwick {
namespace {

constexpr int kMaxDepth = 16;

class Parser {
   public:
    explicit Parser(std::string_view text) : text_(text) {}

    JsonValue Document() {
        JsonValue value = Value(0);
        Space();
        if (at_ != text_.size()) Fail("text after the value");
        return value;
    }

   private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw JsonError(what + " at offset " + std::to_string(at_));
    }
    void Space() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }
    char Peek() {
        Space();
        if (at_ >= text_.size()) Fail("unexpected end");
        return text_[at_];
    }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("expected '") + c + "'");
        ++at_;
    }
    void Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) Fail("unknown word");
        at_ += word.size();
    }

    JsonValue Value(int depth) {
        if (depth > kMaxDepth) Fail("nesting too deep");
        JsonValue value;
        const char c = Peek();
        if (c == '{') {
            value.Type = JsonValue::Kind::Object;
            ++at_;
            if (Peek() == '}') {
                ++at_;
                return value;
            }
            while (true) {
                if (Peek() != '"') Fail("expected a key");
                std::string key = String();
                Expect(':');
                value.Members[std::move(key)] = Value(depth + 1);
                if (Peek() == '}') {
                    ++at_;
                    return value;
                }
                Expect(',');
            }
        }
        if (c == '[') {
            value.Type = JsonValue::Kind::Array;
            ++at_;
            if (Peek() == ']') {
                ++at_;
                return value;
            }
            while (true) {
                value.Items.push_back(Value(depth + 1));
                if (Peek() == ']') {
                    ++at_;
                    return value;
                }
                Expect(',');
            }
        }
        if (c == '"') {
            value.Type = JsonValue::Kind::String;
            value.Text = String();
        } else if (c == 't') {
            Word("true");
            value.Type = JsonValue::Kind::Bool;
            value.Boolean = true;
        } else if (c == 'f') {
            Word("false");
            value.Type = JsonValue::Kind::Bool;
        } else if (c == 'n') {
            Word("null");
        } else {
            value.Type = JsonValue::Kind::Number;
            value.Number = NumberText();
        }
        return value;
    }

    double NumberText() {
        const std::size_t start = at_;
        while (at_ < text_.size() &&
               std::string_view("+-0123456789.eE").find(text_[at_]) != std::string_view::npos)
            ++at_;
        const std::string digits(text_.substr(start, at_ - start));
        if (digits.empty()) Fail("unexpected character");
        char* end = nullptr;
        const double number = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str() + digits.size() || !std::isfinite(number)) Fail("bad number");
        return number;
    }

    unsigned Hex4() {
        if (at_ + 4 > text_.size()) Fail("short \\u escape");
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[at_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= static_cast<unsigned>(h - 'A' + 10);
            else
                Fail("bad \\u escape");
        }
        return code;
    }

    std::string String() {
        ++at_;  // the opening quote
        std::string out;
        while (true) {
            if (at_ >= text_.size()) Fail("unterminated string");
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) Fail("unterminated string");
            const char e = text_[at_++];
            switch (e) {
                case '"':
                    out.push_back('"');
                    break;
                case '\\':
                    out.push_back('\\');
                    break;
                case '/':
                    out.push_back('/');
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'n':
                    out.push_back('\n');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'u': {
                    unsigned code = Hex4();
                    if (code >= 0xD800 && code < 0xDC00) {
                        if (text_.substr(at_, 2) != "\\u") Fail("lone surrogate");
                        at_ += 2;
                        const unsigned low = Hex4();
                        if (low < 0xDC00 || low >= 0xE000) Fail("lone surrogate");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code < 0xE000) {
                        Fail("lone surrogate");
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    Fail("bad escape");
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    const auto found = Members.find(key);
    return found == Members.end() ? nullptr : &found->second;
}

const JsonValue& JsonValue::At(std::string_view key) const {
    const JsonValue* value = Find(key);
    if (!value) throw JsonError("no \"" + std::string(key) + "\"");
    return *value;
}

std::int64_t JsonValue::Integer(std::string_view key) const {
    const JsonValue& value = At(key);
    // Integers beyond 2^53 do not survive a double; none of ours come near.
    if (value.Type != Kind::Number || value.Number != std::trunc(value.Number) ||
        std::fabs(value.Number) > 9.0e15)
        throw JsonError("\"" + std::string(key) + "\" is not a whole number");
    return static_cast<std::int64_t>(value.Number);
}

const std::string& JsonValue::String(std::string_view key) const {
    const JsonValue& value = At(key);
    if (value.Type != Kind::String) throw JsonError("\"" + std::string(key) + "\" is not a text");
    return value.Text;
}

bool JsonValue::Bool(std::string_view key) const {
    const JsonValue& value = At(key);
    if (value.Type != Kind::Bool) throw JsonError("\"" + std::string(key) + "\" is not true or false");
    return value.Boolean;
}

const std::vector<JsonValue>& JsonValue::Array(std::string_view key) const {
    const JsonValue& value = At(key);
    if (value.Type != Kind::Array) throw JsonError("\"" + std::string(key) + "\" is not a list");
    return value.Items;
}

JsonValue ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace tarnwick
