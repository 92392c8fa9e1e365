#include "base/user_guide.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UserGuide, FoundBesideTheExecutablesFolderWhereverThePrefixIsMoved) {
    TempFolder prefix;
    fs::create_directories(prefix.Path() / "bin");
    EXPECT_EQ(FindUserGuide(prefix.Path() / "bin"), fs::path());
    prefix.Write("share/doc/tarnwick/user-guide.md", std::string("# guide\n"));
    EXPECT_EQ(FindUserGuide(prefix.Path() / "bin"), prefix.Path() / "share/doc/tarnwick/user-guide.md");
    EXPECT_EQ(FindUserGuide(fs::path()), fs::path());

    const std::string missing = UserGuideMissingMessage(prefix.Path() / "elsewhere.md");
    EXPECT_NE(missing.find((prefix.Path() / "elsewhere.md").string()), std::string::npos) << missing;
    EXPECT_NE(missing.find("docs/user-guide.md"), std::string::npos) << missing;
    EXPECT_NE(missing.find("/usr/share/doc/tarnwick/user-guide.md"), std::string::npos) << missing;
}

TEST(UserGuide, TheBuildStagesTheGuideWithEveryPictureItShows) {
    const fs::path guide = FindUserGuide(TARNWICK_BIN_DIR);
    ASSERT_FALSE(guide.empty()) << "no guide beside " << TARNWICK_BIN_DIR;
    const std::string text = ReadText(guide);
    EXPECT_EQ(text, ReadText(fs::path(TARNWICK_SOURCE_DIR) / "docs" / "user-guide.md"));
    const std::regex picture(R"(\]\((images/[^)]+\.png)\))");
    int pictures = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), picture), end; it != end; ++it, ++pictures) {
        const fs::path staged = guide.parent_path() / (*it)[1].str();
        EXPECT_TRUE(fs::is_regular_file(staged)) << staged;
    }
    EXPECT_GT(pictures, 10);
    for (const char* other : {"tools.md", "interop.md", "recording.md"})
        EXPECT_TRUE(fs::is_regular_file(guide.parent_path() / other)) << other;
}

}  // namespace
}  // namespace tarnwick
