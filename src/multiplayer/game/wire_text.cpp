#include "multiplayer/game/wire_text.h"

#include <algorithm>

#include "base/ansi.h"

namespace tarnwick {
namespace {

// Bytes in the UTF-8 sequence that starts with `lead`; 1 for a stray byte.
std::size_t SequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

std::string ToWireText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t length =
            std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const auto ansi = Utf8ToAnsi(utf8.substr(i, length));
        out += ansi && ansi->size() == 1 ? *ansi : std::string("?");
        i += length;
    }
    return out;
}

}  // namespace tarnwick
