#include "scenery/scenery_config.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

TEST(SceneryConfig, KeyValuesMatchAsPlainSubstrings) {
    const std::string section = "[Area.001]\r\nTitle= Spaced Title \r\nLOCAL=Scenery\\World\r\nTexture_ID=1";
    EXPECT_EQ(GetKeyValue(section, "Title"), " Spaced Title ");  // not trimmed
    EXPECT_EQ(GetKeyValue(section, "Local"), "Scenery\\World");  // key in any case, value kept as written
    EXPECT_EQ(GetKeyValue(section, "Texture_ID"), "1");          // last line without a line end
    EXPECT_EQ(GetKeyValue(section, "Layer"), "");
    // A key that ends another key's name matches inside it; the first occurrence wins.
    EXPECT_EQ(GetKeyValue("MyLocal=first\r\nLocal=second", "Local"), "first");
    // Blanks between the key and "=" hide the key.
    EXPECT_EQ(GetKeyValue("Local = Scenery\\World", "Local"), "");
}

TEST(SceneryConfig, ARepeatedHeaderLeavesNoLineEndInsideAValue) {
    // The second [General] is searched from the start, so the area's section
    // is cut 45 characters long: right between the CR and the LF after Local.
    const std::string text = "[General]\r\nTitle=" + std::string(24, 'g') +
                             "\r\n[Area.001]\r\nTitle=World\r\nLocal=Scenery\\World\r\n[General]\r\nx=1\r\n";
    const SceneryAreaTable table = ParseSceneryConfig(text);
    ASSERT_EQ(table.AreaCount, 1);
    EXPECT_EQ(table.Areas[0].Local, "Scenery\\World");
    EXPECT_EQ(GetKeyValue("Local=a\rb", "Local"), "a");
}

TEST(SceneryConfig, AreasComeFromAreaSectionsInFileOrder) {
    const std::string text =
        "[General]\r\nTitle=Not an area\r\nLocal=general\r\n"
        "  [Area.002]  \r\nTitle=Second in number, first in file\r\nLocal=b\r\nActive=FALSE\r\nLayer=9\r\n"
        "[Area.001] ; comment\r\nTitle=Header with comment\r\nLocal=c\r\n"
        "[AREA.003]\r\nTitle=Upper case\r\nLocal = spaced\r\nRemote=r\r\nRequired=q\r\nTexture_ID=t";
    const SceneryAreaTable table = ParseSceneryConfig(text);
    ASSERT_EQ(table.AreaCount, 2);
    ASSERT_EQ(table.Areas.size(), 3u);
    EXPECT_EQ(table.Areas[2], SceneryArea{});  // the spare slot stays empty

    // The header with a comment is no header: its lines belong to the area above it.
    const SceneryArea& first = table.Areas[0];
    EXPECT_EQ(first.Title, "Second in number, first in file");
    EXPECT_EQ(first.Local, "b");
    EXPECT_EQ(first.Active, "FALSE");
    EXPECT_EQ(first.Layer, "9");

    const SceneryArea& second = table.Areas[1];
    EXPECT_EQ(second.Title, "Upper case");
    EXPECT_EQ(second.Local, "");  // "Local = spaced"
    EXPECT_EQ(second.Remote, "r");
    EXPECT_EQ(second.Required, "q");
    EXPECT_EQ(second.TextureId, "t");
}

TEST(SceneryConfig, LinesMayEndInLfOrCrAndOddHeadersDoNotBreakTheCut) {
    const SceneryAreaTable lf =
        ParseSceneryConfig("[Area.1]\nTitle=One\nLocal=a\n[Area.2]\rTitle=Two\rLocal=b\r");
    ASSERT_EQ(lf.AreaCount, 2);
    EXPECT_EQ(lf.Areas[0].Title, "One");
    EXPECT_EQ(lf.Areas[0].Local, "a");
    EXPECT_EQ(lf.Areas[1].Title, "Two");
    EXPECT_EQ(lf.Areas[1].Local, "b");

    // A repeated header text cuts a tiny first section (the search for the
    // next header finds the same text) and must not fail on the next one.
    const SceneryAreaTable repeated =
        ParseSceneryConfig("[Area.1]\r\nLocal=a\r\n[Area.1]\r\nLocal=b\r\n[Area.2]\r\nLocal=c");
    ASSERT_EQ(repeated.AreaCount, 3);
    EXPECT_EQ(repeated.Areas[0].Local, "");
    EXPECT_EQ(repeated.Areas[1].Local, "a");
    EXPECT_EQ(repeated.Areas[2].Local, "c");

    EXPECT_EQ(ParseSceneryConfig("").AreaCount, 0);
    EXPECT_EQ(ParseSceneryConfig("[General]\r\nTitle=x\r\n").AreaCount, 0);
}

TEST(SceneryConfig, SectionsOverlappingOverAndOverAreRefused) {
    // Distinct area headers, each followed by the same other header: every
    // area's section reaches back to the first [b] and so forward over the
    // long line at the end. Left alone, 300 areas would each copy it.
    std::string text;
    for (int i = 0; i < 300; ++i) text += "[Area." + std::to_string(i) + "]\r\n[b]\r\n";
    text += "Local=" + std::string(5000, 'x') + "\r\n";
    EXPECT_THROW(ParseSceneryConfig(text), FileError);

    // One repeated header, as copied configurations have, is fine.
    const std::string once =
        "[Area.1]\r\nLocal=a\r\n[General]\r\nx=1\r\n[Area.2]\r\nLocal=" + std::string(5000, 'y') +
        "\r\n[General]\r\nx=2\r\n";
    EXPECT_EQ(ParseSceneryConfig(once).AreaCount, 2);
}

TEST(SceneryConfig, LowerCasingCoversWindowsCapitals) {
    EXPECT_EQ(LCaseAnsi("ABC\xC0\xC9\xD7\xDE\x8A\x9F\xDF"), "abc\xE0\xE9\xD7\xFE\x9A\xFF\xDF");
}

TEST(SceneryConfig, MissingFileIsAnError) {
    TempFolder folder;
    EXPECT_THROW(ReadSceneryConfig(folder.Path() / "scenery.cfg"), FileError);
    EXPECT_THROW(ReadSceneryConfig(folder.Path()), FileError);
}

class AreaFolders : public ::testing::Test {
   protected:
    AreaFolders() {
        fs::create_directories(fs.Path() / "FS2002" / "Scenery" / "World" / "Scenery");
        fs::create_directories(fs.Path() / "FS2002" / "Addon Scenery" / "Scenery");
        fs::create_directories(fs.Path() / "FS2002" / "Addon Scenery" / "scenery");  // only differs in case
        fs::create_directories(base.Path() / "Relative" / "scenery");
        fs::create_directories(elsewhere.Path() / "Other" / "SCENERY");
        fsFolder = (fs.Path() / "FS2002").string();
    }

    SceneryArea Resolve(const std::string& local) {
        SceneryAreaTable table;
        table.AreaCount = 1;
        table.Areas.resize(2);
        table.Areas[0].Local = local;
        ResolveAreaFolders(table, fsFolder, base.Path());
        return table.Areas[0];
    }

    TempFolder fs, base, elsewhere;
    std::string fsFolder;
};

TEST_F(AreaFolders, RelativeFoldersGetTheSceneryPartAndTheSimulatorFolder) {
    const SceneryArea world = Resolve("Scenery\\World");
    EXPECT_EQ(world.Local, LCaseAnsi(fsFolder) + "\\scenery\\world\\scenery");
    EXPECT_EQ(world.LocalPath, fs.Path() / "FS2002" / "Scenery" / "World" / "Scenery");

    // "scenery" alone gets no second "\scenery".
    const SceneryArea scenery = Resolve("scenery");
    EXPECT_EQ(scenery.Local, LCaseAnsi(fsFolder) + "\\scenery");
    EXPECT_EQ(scenery.LocalPath, fs.Path() / "FS2002" / "Scenery");

    // Blanks around the value go, slashes become backslashes, and a value
    // already ending in \scenery is not extended.
    const SceneryArea spaced = Resolve("  scenery/world/SCENERY  ");
    EXPECT_EQ(spaced.Local, LCaseAnsi(fsFolder) + "\\scenery\\world\\scenery");
    EXPECT_EQ(spaced.LocalPath, fs.Path() / "FS2002" / "Scenery" / "World" / "Scenery");
}

TEST_F(AreaFolders, AnExactNameWinsOverOneMatchingOnlyIgnoringCase) {
    EXPECT_EQ(Resolve("Addon Scenery\\scenery").LocalPath,
              fs.Path() / "FS2002" / "Addon Scenery" / "scenery");
    EXPECT_EQ(Resolve("Addon Scenery\\Scenery").LocalPath,
              fs.Path() / "FS2002" / "Addon Scenery" / "Scenery");
}

TEST_F(AreaFolders, FoldersAreTriedAsWrittenBeforeTheSimulatorFolder) {
    // Relative to the current directory first.
    const SceneryArea relative = Resolve("relative");
    EXPECT_EQ(relative.Local, "relative\\scenery");
    EXPECT_EQ(relative.LocalPath, base.Path() / "Relative" / "scenery");

    // An absolute folder is kept as it is (lower-cased, with backslashes).
    std::string absolute = (elsewhere.Path() / "Other").string();
    const SceneryArea other = Resolve(absolute);
    std::replace(absolute.begin(), absolute.end(), '/', '\\');
    EXPECT_EQ(other.Local, LCaseAnsi(absolute) + "\\scenery");
    EXPECT_EQ(other.LocalPath, elsewhere.Path() / "Other" / "SCENERY");
}

TEST_F(AreaFolders, AreasWithoutAFolderAreSkipped) {
    EXPECT_EQ(Resolve("Scenery\\Nowhere").Local, "");
    EXPECT_TRUE(Resolve("Scenery\\Nowhere").LocalPath.empty());
    EXPECT_EQ(Resolve("").Local, "");
    EXPECT_EQ(Resolve("C:\\FS2002\\Scenery\\World").Local, "");  // a Windows drive path means nothing here
}

// FS2002 inside a Wine prefix, with add-on scenery where installers put it:
// on C: outside the simulator's folder, and on a second drive D:.
class DriveLetterAreas : public ::testing::Test {
   protected:
    DriveLetterAreas() {
        prefix = testing::MakeWinePrefix(root.Path() / "prefix");
        simulator = prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002";
        fs::create_directories(simulator / "Scenery" / "World" / "Scenery");
        fs::create_directories(prefix / "drive_c" / "Addons" / "My Airport" / "Scenery");
        fs::create_directories(disk.Path() / "FS Scenery" / "Lakes" / "scenery");
        fs::create_directory_symlink(disk.Path(), prefix / "dosdevices" / "d:");
    }

    struct Resolved {
        SceneryAreaTable Table;
        std::vector<SkippedArea> Skipped;
    };

    // Resolves one area per Local text, titled "A0", "A1", ...
    static Resolved Resolve(const std::vector<std::string>& locals, const std::string& fsFolder,
                            const fs::path& base) {
        Resolved resolved;
        resolved.Table.AreaCount = static_cast<std::int16_t>(locals.size());
        resolved.Table.Areas.resize(locals.size() + 1);
        for (std::size_t i = 0; i < locals.size(); ++i) {
            resolved.Table.Areas[i].Title = "A" + std::to_string(i);
            resolved.Table.Areas[i].Local = locals[i];
        }
        resolved.Skipped = ResolveAreaFolders(resolved.Table, fsFolder, base);
        return resolved;
    }
    Resolved Resolve(const std::vector<std::string>& locals) const {
        return Resolve(locals, simulator.string(), base.Path());
    }

    TempFolder root, disk, base;
    fs::path prefix;
    fs::path simulator;
};

TEST_F(DriveLetterAreas, DrivePathsResolveThroughThePrefixInAnyCaseWithEitherSlash) {
    const fs::path myAirport = prefix / "drive_c" / "Addons" / "My Airport" / "Scenery";
    const fs::path lakes = disk.Path() / "FS Scenery" / "Lakes" / "scenery";
    std::string throughZ = "z:" + disk.String() + "\\fs scenery\\lakes";
    std::replace(throughZ.begin(), throughZ.end(), '/', '\\');
    const Resolved resolved =
        Resolve({"C:\\Addons\\My Airport", "c:/addons/my airport/SCENERY", " C:\\ADDONS/my airport\\ ",
                 "D:\\FS Scenery\\Lakes", "d:/fs scenery/lakes/scenery", throughZ});
    EXPECT_TRUE(resolved.Skipped.empty());
    const std::vector<fs::path> expected = {myAirport, myAirport, myAirport, lakes, lakes, lakes};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(resolved.Table.Areas[i].LocalPath, expected[i]) << resolved.Table.Areas[i].Local;
    // Local stays the drive path as the simulator reads it, lower-cased.
    EXPECT_EQ(resolved.Table.Areas[0].Local, "c:\\addons\\my airport\\scenery");
    EXPECT_EQ(resolved.Table.Areas[1].Local, "c:\\addons\\my airport\\scenery");
    EXPECT_EQ(resolved.Table.Areas[3].Local, "d:\\fs scenery\\lakes\\scenery");
}

TEST_F(DriveLetterAreas, FoldersFoundBeforeAreFoundAsBefore) {
    // Relative folders still go below the simulator's folder, which is not
    // named by drive letter.
    const Resolved resolved = Resolve({"Scenery\\World"});
    EXPECT_EQ(resolved.Table.Areas[0].LocalPath, simulator / "Scenery" / "World" / "Scenery");
    EXPECT_EQ(resolved.Table.Areas[0].Local, LCaseAnsi(simulator.string()) + "\\scenery\\world\\scenery");

    // A folder named like a drive below the simulator's folder keeps winning.
    fs::create_directories(simulator / "c:" / "Addons" / "My Airport" / "Scenery");
    const Resolved shadowed = Resolve({"C:\\Addons\\My Airport"});
    EXPECT_EQ(shadowed.Table.Areas[0].LocalPath, simulator / "c:" / "Addons" / "My Airport" / "Scenery");
}

TEST_F(DriveLetterAreas, UnresolvableAreasAreSkippedAndNamedInFileOrder) {
    const Resolved resolved =
        Resolve({"C:\\Addons\\My Airport", "C:\\Addons\\Gone", "", "E:\\Scenery", "Scenery\\Nowhere"});
    EXPECT_EQ(resolved.Table.Areas[0].LocalPath, prefix / "drive_c" / "Addons" / "My Airport" / "Scenery");
    for (std::size_t i = 1; i < 5; ++i) EXPECT_EQ(resolved.Table.Areas[i].Local, "") << i;
    ASSERT_EQ(resolved.Skipped.size(), 4u);
    EXPECT_EQ(resolved.Skipped[0].Title, "A1");
    EXPECT_EQ(resolved.Skipped[0].Folder, "C:\\Addons\\Gone");
    EXPECT_EQ(resolved.Skipped[0].Reason,
              "no such folder (drive C: is " + (prefix / "drive_c").string() + ")");
    EXPECT_EQ(resolved.Skipped[1], (SkippedArea{"A2", "", "no folder given"}));
    EXPECT_EQ(resolved.Skipped[2].Reason, "the Wine prefix " + prefix.string() + " has no drive E:");
    EXPECT_EQ(resolved.Skipped[3], (SkippedArea{"A4", "Scenery\\Nowhere", "no such folder"}));
}

TEST_F(DriveLetterAreas, OutsideAnyPrefixDrivePathsAreSkippedAndTheRestResolve) {
    // A copy of the simulator's folder in a plain folder.
    const fs::path copy = root.Path() / "copy" / "FS2002";
    fs::create_directories(copy / "Scenery" / "World" / "Scenery");
    const Resolved resolved =
        Resolve({"Scenery\\World", "C:\\Addons\\My Airport"}, copy.string(), base.Path());
    EXPECT_EQ(resolved.Table.Areas[0].LocalPath, copy / "Scenery" / "World" / "Scenery");
    EXPECT_EQ(resolved.Table.Areas[1].Local, "");
    ASSERT_EQ(resolved.Skipped.size(), 1u);
    EXPECT_EQ(resolved.Skipped[0].Title, "A1");
    EXPECT_EQ(resolved.Skipped[0].Folder, "C:\\Addons\\My Airport");
    EXPECT_EQ(resolved.Skipped[0].Reason,
              "the FS2002 folder is not inside a Wine prefix, so drive C: is nowhere");
}

TEST(SceneryFileListing, OrderIsByUpperCasedNameByteForByte) {
    TempFolder folder;
    for (const char* name : {"b.BGL", "_x.bgl", "a1.bgl", "A.bgl", "c.bglx", "notes.txt", "Z.Bgl"}) {
        folder.Write(name, std::string("x"));
    }
    fs::create_directory(folder.Path() / "folder.bgl");
    // Upper-cased, '_' (0x5F) sorts after the letters; '.' sorts before digits.
    const std::vector<std::string> expected = {"A.bgl", "a1.bgl", "b.BGL", "Z.Bgl", "_x.bgl"};
    EXPECT_EQ(ListSceneryFiles(folder.Path()), expected);
    EXPECT_TRUE(ListSceneryFiles(folder.Path() / "missing").empty());
}

TEST(SceneryFileListing, ConfigurationFileIsFoundIgnoringCase) {
    TempFolder folder;
    folder.Write("FS2002/SCENERY.CFG", std::string("[Area.1]\r\nLocal=x\r\n"));
    const std::string fsFolder = (folder.Path() / "fs2002").string();
    EXPECT_EQ(SceneryConfigPathFor(fsFolder, folder.Path()), folder.Path() / "FS2002" / "SCENERY.CFG");
    EXPECT_EQ(ReadSceneryConfig(SceneryConfigPathFor(fsFolder, folder.Path())).AreaCount, 1);
}

}  // namespace
}  // namespace tarnwick
