#include "scenery/wine_registry.h"

#include <optional>

#include "base/ansi.h"

namespace tarnwick {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Text as the registry writes it, UTF-16 units given by escapes put back
// together (a surrogate pair arrives as two escapes).
class Unescaped {
   public:
    void Run(std::string_view bytes) {
        if (bytes.empty()) return;
        Flush();
        text_.append(bytes);
    }
    void Unit(char16_t unit) {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            Flush();
            high_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (high_) {
                AppendUtf8(text_,
                           0x10000 + ((static_cast<char32_t>(*high_) - 0xD800) << 10) + (unit - 0xDC00));
                high_.reset();
            } else {
                AppendUtf8(text_, 0xFFFD);
            }
            return;
        }
        Flush();
        AppendUtf8(text_, unit);
    }
    std::string Take() {
        Flush();
        return std::move(text_);
    }

   private:
    void Flush() {
        if (high_) AppendUtf8(text_, 0xFFFD);
        high_.reset();
    }
    std::string text_;
    std::optional<char16_t> high_;
};

// The character a one-letter escape stands for; the letter itself for others.
char SimpleEscape(char letter) {
    switch (letter) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'e':
            return '\x1B';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        default:
            return letter;
    }
}

// Reads an escaped text from `at` up to the unescaped `end` character, which
// it steps over. Empty when the line ends first. Runs without escapes are
// copied whole: a registry has tens of thousands of keys.
std::optional<std::string> ReadEscaped(std::string_view line, std::size_t& at, char end) {
    const char stops[] = {end, '\\', '\0'};
    Unescaped out;
    for (;;) {
        const std::size_t stop = line.find_first_of(stops, at);
        if (stop == std::string_view::npos) return std::nullopt;
        out.Run(line.substr(at, stop - at));
        at = stop + 1;
        if (line[stop] == end) return out.Take();
        if (at >= line.size()) return std::nullopt;
        const char e = line[at++];
        if (e == 'x') {
            unsigned value = 0;
            int digits = 0;
            for (; digits < 4 && at < line.size() && HexDigit(line[at]) >= 0; ++digits)
                value = value * 16 + static_cast<unsigned>(HexDigit(line[at++]));
            if (digits == 0) {
                out.Run("x");
            } else {
                out.Unit(static_cast<char16_t>(value));
            }
        } else if (e >= '0' && e <= '7') {
            unsigned value = static_cast<unsigned>(e - '0');
            for (int digits = 1; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7';
                 ++digits)
                value = value * 8 + static_cast<unsigned>(line[at++] - '0');
            out.Unit(static_cast<char16_t>(value));
        } else {
            const char c = SimpleEscape(e);
            out.Run(std::string_view(&c, 1));
        }
    }
}

// A string value's text: "..." or str(N):"..." for the string types (1 plain,
// 2 expandable). Empty for other types.
std::optional<std::string> ReadStringData(std::string_view line, std::size_t at) {
    const std::string_view rest = line.substr(at);
    if (rest.starts_with("str(1):") || rest.starts_with("str(2):")) at += 7;
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    ++at;
    return ReadEscaped(line, at, '"');
}

}  // namespace

std::vector<RegistryKey> ReadRegistryKeys(std::string_view text,
                                          const std::function<bool(std::string_view path)>& wanted) {
    std::vector<RegistryKey> found;
    bool inWantedKey = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) continue;

        std::size_t at = 1;
        if (line.front() == '[') {
            std::optional<std::string> path = ReadEscaped(line, at, ']');
            inWantedKey = path && wanted(*path);
            if (inWantedKey) found.push_back({std::move(*path), {}});
            continue;
        }
        if (!inWantedKey) continue;
        std::optional<std::string> name;
        if (line.front() == '@') {
            name = std::string();
        } else if (line.front() == '"') {
            name = ReadEscaped(line, at, '"');
        }
        if (!name || at >= line.size() || line[at] != '=') continue;
        if (auto value = ReadStringData(line, at + 1))
            found.back().Strings.push_back({std::move(*name), std::move(*value)});
    }
    return found;
}

}  // namespace tarnwick
