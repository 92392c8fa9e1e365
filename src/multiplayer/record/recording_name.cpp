#include "multiplayer/record/recording_name.h"

#include <cctype>
#include <cstdio>

namespace tarnwick {

std::string DefaultRecordingName(const std::tm& local, const std::string& areaTitle) {
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    std::string area;
    for (char c : areaTitle) {
        const auto byte = static_cast<unsigned char>(c);
        // Letters (accented ones too), digits and brackets stay; anything
        // else, such as a slash or a colon, parts words like a space.
        const bool letter = byte >= 0xC0 && byte != 0xD7 && byte != 0xF7;
        const bool kept = letter || (byte < 0x80 && (std::isalnum(byte) || c == '(' || c == ')' || c == '-'));
        if (!kept) c = ' ';
        // Runs of spaces, as list texts have, become one.
        if (c == ' ' && (area.empty() || area.back() == ' ')) continue;
        area.push_back(c);
    }
    while (!area.empty() && area.back() == ' ') area.pop_back();
    return std::string("Tarnwick ") + when + (area.empty() ? "" : " " + area) + ".jsonl";
}

}  // namespace tarnwick
