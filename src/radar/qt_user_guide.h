#pragma once
// "User's guide" in the radar window's menu: the guide installed with the
// program, opened in the desktop's viewer.
#include <filesystem>

#include "base/message_boxes.h"

namespace tarnwick {

// Opens the guide for executables in `executableFolder`; tells the user where
// to read it when it is not there or no program of the desktop opens it.
void OpenUserGuide(MessageBoxes& boxes, const std::filesystem::path& executableFolder);
void OpenUserGuide(MessageBoxes& boxes);  // for this executable

}  // namespace tarnwick
