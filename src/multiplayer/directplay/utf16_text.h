#pragma once
// DirectPlay carries names as UTF-16; the program keeps texts as Windows-1252.
// These convert at that edge, with the same code page table as the rest of the
// program.
#include <string>
#include <string_view>

namespace tarnwick::directplay {

std::u16string AnsiToUtf16(std::string_view ansi);

// A character Windows-1252 cannot show becomes '?', as Windows does when it
// hands a wide name to an ANSI program; unpaired surrogates too.
std::string Utf16ToAnsi(std::u16string_view text);

}  // namespace tarnwick::directplay
