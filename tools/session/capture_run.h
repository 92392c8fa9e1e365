#pragma once
// tarnwick-session --capture: a packet capture of a session read, reported
// and, when asked, written as a recording.
#include <filesystem>
#include <optional>
#include <string>

#include "session_output.h"

namespace tarnwick::tools {

// Returns the exit status: 0 when the capture was read (whatever it held),
// 1 when it could not be opened or the recording not written.
int ReadCapture(const std::filesystem::path& capture, const std::string& playerUtf8,
                const std::optional<std::filesystem::path>& recordTo, const SessionOutput& out);

}  // namespace tarnwick::tools
