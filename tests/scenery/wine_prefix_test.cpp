#include "scenery/wine_prefix.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::MakeWinePrefix;
using testing::TempFolder;

// A prefix as Wine makes it (c: -> ../drive_c, z: -> /) with d: on a folder
// elsewhere, as for a second disk.
class WinePrefixTest : public ::testing::Test {
   protected:
    WinePrefixTest() {
        prefix = MakeWinePrefix(root.Path() / "prefix");
        fs::create_directories(prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002");
        fs::create_directories(disk.Path() / "FS Scenery" / "Lakes");
        fs::create_directory_symlink(disk.Path(), prefix / "dosdevices" / "d:");
    }

    TempFolder root, disk;
    fs::path prefix;
};

TEST_F(WinePrefixTest, DriveLettersAreTheTextsFirstTwoCharacters) {
    EXPECT_EQ(DriveLetterOf("C:\\Addons"), 'c');
    EXPECT_EQ(DriveLetterOf("d:/x"), 'd');
    EXPECT_EQ(DriveLetterOf("E:"), 'e');
    EXPECT_EQ(DriveLetterOf("z:relative"), 'z');
    for (const char* other : {"", "C", "\\C:\\x", "1:\\x", "Scenery\\World", "/home/x", "\xC4:\\x"})
        EXPECT_FALSE(DriveLetterOf(other)) << other;
}

TEST_F(WinePrefixTest, DrivesLeadWhereTheirLinksLeadNamedAsWineNamesThem) {
    EXPECT_EQ(DriveFolder(prefix, 'c'), prefix / "drive_c");  // not prefix/dosdevices/c:
    EXPECT_EQ(DriveFolder(prefix, 'C'), prefix / "drive_c");
    EXPECT_EQ(DriveFolder(prefix, 'd'), disk.Path());
    EXPECT_EQ(DriveFolder(prefix, 'Z'), fs::path("/"));
    EXPECT_FALSE(DriveFolder(prefix, 'e'));

    // A drive whose link leads nowhere (a disc not in its drive) is missing.
    fs::create_directory_symlink(root.Path() / "unmounted", prefix / "dosdevices" / "e:");
    EXPECT_FALSE(DriveFolder(prefix, 'e'));

    // Without dosdevices/ (a prefix Wine has not run in yet), C: is drive_c.
    fs::remove_all(prefix / "dosdevices");
    EXPECT_EQ(DriveFolder(prefix, 'c'), prefix / "drive_c");
    EXPECT_FALSE(DriveFolder(prefix, 'd'));
    EXPECT_FALSE(DriveFolder(prefix, 'z'));
}

TEST_F(WinePrefixTest, DrivePathsResolveIgnoringCaseWithEitherSlash) {
    const fs::path fs2002 = prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002";
    for (const char* text :
         {"C:\\Program Files\\Microsoft Games\\FS2002", "c:/program files/microsoft games/fs2002",
          "C:\\PROGRAM FILES/Microsoft Games\\fs2002\\", "c:program files\\microsoft games\\fs2002"}) {
        EXPECT_EQ(ResolveDrivePath(prefix, text), fs2002) << text;
    }
    EXPECT_EQ(ResolveDrivePath(prefix, "D:\\fs scenery\\LAKES"), disk.Path() / "FS Scenery" / "Lakes");
    EXPECT_EQ(ResolveDrivePath(prefix, "D:"), disk.Path());

    // Z: is the whole Linux file system.
    std::string throughZ = "Z:" + disk.String() + "/fs scenery";
    std::replace(throughZ.begin(), throughZ.end(), '/', '\\');
    EXPECT_EQ(ResolveDrivePath(prefix, throughZ), disk.Path() / "FS Scenery");

    EXPECT_FALSE(ResolveDrivePath(prefix, "C:\\Program Files\\Nowhere"));
    EXPECT_FALSE(ResolveDrivePath(prefix, "E:\\FS2002"));
    EXPECT_FALSE(ResolveDrivePath(prefix, "Program Files"));
}

TEST_F(WinePrefixTest, TheHoldingPrefixIsTheFirstFoundGoingUp) {
    const fs::path fs2002 = prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002";
    EXPECT_EQ(PrefixHolding(fs2002), prefix);
    EXPECT_EQ(PrefixHolding(prefix), prefix);
    EXPECT_EQ(PrefixHolding(fs2002 / ".." / "FS2002"), prefix);
    EXPECT_FALSE(PrefixHolding(disk.Path() / "FS Scenery"));

    // Reached through a link from outside: the prefix where the link leads.
    fs::create_directory_symlink(fs2002, disk.Path() / "fs2002");
    EXPECT_EQ(PrefixHolding(disk.Path() / "fs2002"), prefix);

    // A prefix inside a prefix's drive (a bottle kept under drive_c) is the
    // one that holds the folder.
    const fs::path inner = MakeWinePrefix(prefix / "drive_c" / "inner");
    fs::create_directories(inner / "drive_c" / "FS2002");
    EXPECT_EQ(PrefixHolding(inner / "drive_c" / "FS2002"), inner);
}

TEST_F(WinePrefixTest, OnlyFoldersWithDrivesAreWinePrefixes) {
    EXPECT_TRUE(IsWinePrefix(prefix));
    EXPECT_FALSE(IsWinePrefix(prefix / "drive_c"));
    EXPECT_FALSE(IsWinePrefix(disk.Path()));
    root.Write("fake/drive_c", std::string("a file, not a drive"));
    EXPECT_FALSE(IsWinePrefix(root.Path() / "fake"));
    fs::create_directories(root.Path() / "bare" / "dosdevices");
    EXPECT_TRUE(IsWinePrefix(root.Path() / "bare"));
}

}  // namespace
}  // namespace tarnwick
