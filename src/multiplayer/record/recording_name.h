#pragma once
// The file name a new recording is offered under: the program, the date and
// time and the area, without spaces or brackets, so that it can be typed on a
// command line as it is.
#include <ctime>
#include <string>
#include <string_view>

namespace tarnwick {

// "Tarnwick-2026-12-08-1843-KSEA.jsonl" from the local time and the area
// (its kind and title; the identifier is Windows-1252, as the name is).
std::string DefaultRecordingName(const std::tm& local, std::string_view areaKind, std::string_view areaTitle);

}  // namespace tarnwick
