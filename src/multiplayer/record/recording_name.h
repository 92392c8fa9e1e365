#pragma once
// The file name a new recording is offered under: the program, the date and
// time and the area, in characters every file system takes.
#include <ctime>
#include <string>

namespace tarnwick {

// "Tarnwick 2026-12-08 1432 Seattle Tacoma Intl (KSEA).jsonl" from the local
// time and the area's title (Windows-1252, as the name is; characters a file
// name should not hold become spaces).
std::string DefaultRecordingName(const std::tm& local, const std::string& areaTitle);

}  // namespace tarnwick
