#pragma once
// What the next start would make of a work folder: the program's three files
// are either incomplete (the next start runs setup and a new build) or a
// whole set whose settings agree with the databases beside them.
#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::testing {

::testing::AssertionResult NextStartRecognises(const std::filesystem::path& workFolder);

}  // namespace tarnwick::testing
