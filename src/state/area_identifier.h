#pragma once
// A short name of the area being controlled that fits where a title does not:
// in a file name or a configuration key.
#include <string>
#include <string_view>

namespace tarnwick {

// An airport area's ICAO identifier (the bracketed end of its title, "KSEA"
// from "Seattle Tacoma Intl  (KSEA)"), or a sector's name, in letters
// (accented ones too), digits and hyphens alone: every other run of
// characters becomes one hyphen ("Zürich/Kloten" gives "Zürich-Kloten").
// Windows-1252, as the title is; empty when nothing usable is left.
std::string AreaIdentifier(std::string_view areaKind, std::string_view areaTitle);

}  // namespace tarnwick
