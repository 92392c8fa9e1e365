#pragma once
// Text the user typed, on its way into the session: the session carries one
// Windows-1252 byte per character, so a character that code page cannot hold
// goes out as "?".
#include <string>
#include <string_view>

namespace tarnwick {

std::string ToWireText(std::string_view utf8);

}  // namespace tarnwick
