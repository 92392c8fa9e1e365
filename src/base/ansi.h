#pragma once
// Texts in files and on the wire are Windows-1252 bytes held in std::string.
// These conversions are used only at the edges: the user interface, JSON output
// and the demo data's UTF-8 sources.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Every byte has a meaning in this table (the five unassigned ones map to the
// C1 control with the same value), so this conversion never fails.
std::string AnsiToUtf8(std::string_view ansi);

// Empty when the text holds a character Windows-1252 cannot represent, or when
// it is not valid UTF-8.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

// Appends one Unicode code point as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// Upper case in Windows-1252, accented letters and š œ ž ÿ included, as the
// simulator's identifiers and Windows' file names are compared.
std::string UpperCaseAnsi(std::string_view text);

}  // namespace tarnwick
