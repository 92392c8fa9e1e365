#pragma once
// "Create new database files": the program's three files are deleted so that
// the next start goes through setup and a full database build, and the
// program ends.
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "base/message_boxes.h"

namespace tarnwick {

inline constexpr const char* kRenewDatabasesQuestion =
    "Do you want to delete the current database files to then create new database files?";
inline constexpr const char* kDatabasesDeletedNotice =
    "The current database files were deleted, now you must re-run or restart Tarnwick for then create new "
    "database files. Now the program will end.";

// The settings file and both databases as they are found in the work folder
// (names compared ignoring case, as at start-up); missing ones are left out.
std::vector<std::filesystem::path> ProgramFilesIn(std::string_view workFolder);

enum class RenewalOutcome { Cancelled, EndProgram };

// Asks first; on OK deletes the files (one that will not go is passed over),
// leaves the session through `leaveSession` (its failures are passed over too)
// and tells the user the program ends. The caller locks the radar window
// before, unlocks it on Cancelled and ends the program at once on EndProgram.
RenewalOutcome CreateNewDatabaseFiles(MessageBoxes& boxes, std::string_view workFolder,
                                      const std::function<void()>& leaveSession);

}  // namespace tarnwick
