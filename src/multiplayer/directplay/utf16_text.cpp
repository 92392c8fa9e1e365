#include "multiplayer/directplay/utf16_text.h"

#include "base/ansi.h"

namespace tarnwick::directplay {
namespace {

char32_t DecodeUtf8(std::string_view utf8, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = length == 1   ? lead
                  : length == 2 ? (lead & 0x1F)
                  : length == 3 ? (lead & 0x0F)
                                : (lead & 0x07);
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    return cp;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view ansi) {
    // Windows-1252 maps every byte into the Basic Multilingual Plane.
    const std::string utf8 = AnsiToUtf8(ansi);
    std::u16string out;
    out.reserve(ansi.size());
    for (std::size_t i = 0; i < utf8.size();) out.push_back(static_cast<char16_t>(DecodeUtf8(utf8, i)));
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            out.push_back('?');
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, cp);
        const auto ansi = Utf8ToAnsi(utf8);
        out += ansi && ansi->size() == 1 ? *ansi : std::string("?");
    }
    return out;
}

}  // namespace tarnwick::directplay
