#include "base/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwick {
namespace {

const ProgramAbout kAbout{"tarnwick-x", "Usage: tarnwick-x\n", "2.0", "abc123"};

int RunMain(std::vector<const char*> argv, bool& bodyRan, int bodyStatus = 0,
            const char* usageFault = nullptr) {
    argv.insert(argv.begin(), "tarnwick-x");
    return RunCommandLine(kAbout, static_cast<int>(argv.size()), argv.data(), [&](const CommandArguments&) {
        bodyRan = true;
        if (usageFault != nullptr) throw UsageError(usageFault);
        return bodyStatus;
    });
}

TEST(CommandLine, HelpAndVersionFirstAnswerWithoutRunningTheProgram) {
    bool ran = false;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunMain({"--version", "--bogus"}, ran), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "tarnwick-x (Tarnwick) 2.0 (git abc123)\n");
    EXPECT_FALSE(ran);
    EXPECT_EQ(VersionLine({"t", "", "2.0", ""}), "t (Tarnwick) 2.0");

    // Later, --help may be an option's value: the program decides.
    EXPECT_EQ(RunMain({"--nickname", "--help"}, ran, 7), 7);
    EXPECT_TRUE(ran);
}

TEST(CommandLine, UsageFaultsAreOneLineWithStatusTwo) {
    bool ran = false;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunMain({"--zoom"}, ran, 0, "--zoom needs a value\nand more"), kBadArgumentsStatus);
    const std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(error.rfind("tarnwick-x: --zoom needs a value and more", 0), 0u) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;

    const CommandArguments args{"--zoom"};
    std::size_t i = 0;
    EXPECT_THROW(OptionValue(args, i), UsageError);
}

}  // namespace
}  // namespace tarnwick
