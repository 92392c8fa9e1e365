#pragma once
// The program's name as its windows and messages show it.
namespace tarnwick {

inline constexpr const char* kProgramName = "Tarnwick v2.0";

}  // namespace tarnwick
