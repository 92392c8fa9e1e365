#include "state/area_identifier.h"

#include "state/chosen_area.h"

namespace tarnwick {
namespace {

// The bracketed identifier at the end of an airport's list text.
std::string_view AirportIdent(std::string_view title) {
    std::string_view trimmed = title;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    if (trimmed.empty() || trimmed.back() != ')') return title;
    const std::size_t open = trimmed.rfind('(');
    if (open == std::string_view::npos) return title;
    const std::string_view ident = trimmed.substr(open + 1, trimmed.size() - open - 2);
    return ident.find_first_not_of(' ') == std::string_view::npos ? title : ident;
}

bool Kept(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return byte >= 0xC0 && byte != 0xD7 && byte != 0xF7;  // letters, not × and ÷
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string AreaIdentifier(std::string_view areaKind, std::string_view areaTitle) {
    const std::string_view source = areaKind == kAreaKindAirport ? AirportIdent(areaTitle) : areaTitle;
    std::string ident;
    for (char c : source) {
        if (Kept(c)) {
            ident.push_back(c);
        } else if (!ident.empty() && ident.back() != '-') {
            ident.push_back('-');
        }
    }
    if (!ident.empty() && ident.back() == '-') ident.pop_back();
    return ident;
}

}  // namespace tarnwick
