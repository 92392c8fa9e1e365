#include "scenery/fs_installations.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>

#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::MakeWinePrefix;
using testing::PutSimulatorExe;
using testing::TempFolder;
using testing::WriteSimulatorRegistry;

const fs::path kUsualFolder = fs::path("Program Files") / "Microsoft Games" / "FS2002";

std::vector<FsInstallation> SearchAll(InstallationSearch& search, std::size_t entriesPerStep = 1000) {
    for (int guard = 0; search.Advance(entriesPerStep); ++guard) {
        if (guard > 1000000) {
            ADD_FAILURE() << "the search does not end";
            break;
        }
    }
    EXPECT_TRUE(search.Done());
    return search.Found();
}

std::vector<FsInstallation> SearchAll(const InstallationPlaces& places) {
    InstallationSearch search(places);
    return SearchAll(search);
}

// A scratch home with a prefix in each of the usual places, FS2002 in most of
// them, and $WINEPREFIX on a prefix outside the home.
class Installations : public ::testing::Test {
   protected:
    Installations() {
        const fs::path& h = home.Path();
        // ~/.wine: installed, its registry names the folder.
        wine = MakeWinePrefix(h / ".wine");
        PutSimulatorExe(wine / "drive_c" / kUsualFolder);
        WriteSimulatorRegistry(wine, "C:\\Program Files\\Microsoft Games\\FS2002");
        // winetricks: a copy without registry entries, the name in lower case.
        AddFound(h / ".local/share/wineprefixes/fs2002", "Games/fs2002", "fs2002.exe");
        // winetricks: a prefix with nothing in it, and one with another simulator.
        MakeWinePrefix(h / ".local/share/wineprefixes/empty");
        PutSimulatorExe(MakeWinePrefix(h / ".local/share/wineprefixes/fs9") / "drive_c" / "FS9", "FS9.EXE");
        // Bottles, native and Flatpak; the deepest folder still searched.
        AddFound(h / ".local/share/bottles/bottles/Sim", "a/b/c/d/FS2002");
        AddFound(h / ".var/app/com.usebottles.bottles/data/bottles/bottles/Flight", kUsualFolder);
        // Lutris, PlayOnLinux, CrossOver, Steam (through ~/.steam/steam, a link
        // to ~/.local/share/Steam as Steam makes it).
        AddFound(h / "Games/microsoft-flight-simulator-2002", kUsualFolder);
        AddFound(h / ".PlayOnLinux/wineprefix/FS2002", kUsualFolder);
        AddFound(h / ".cxoffice/Flight Simulator", kUsualFolder);
        AddFound(h / ".local/share/Steam/steamapps/compatdata/2147483650/pfx", kUsualFolder);
        fs::create_directories(h / ".steam");
        fs::create_directory_symlink(h / ".local/share/Steam", h / ".steam/steam");
        // $WINEPREFIX outside the home.
        AddFound(elsewhere.Path() / "prefix", "FS2002");
        places = {h, elsewhere.Path() / "prefix"};
    }

    void AddFound(const fs::path& prefix, const fs::path& relative, const std::string& exe = "FS2002.EXE") {
        MakeWinePrefix(prefix);
        PutSimulatorExe(prefix / "drive_c" / relative, exe);
        expected.push_back({prefix / "drive_c" / relative, prefix, FoundBy::Search});
    }

    static std::vector<fs::path> Folders(const std::vector<FsInstallation>& found) {
        std::vector<fs::path> folders;
        for (const FsInstallation& each : found) folders.push_back(each.Folder);
        std::sort(folders.begin(), folders.end());
        return folders;
    }

    TempFolder home, elsewhere;
    fs::path wine;
    std::vector<FsInstallation> expected;
    InstallationPlaces places;
};

TEST_F(Installations, EachUsualHomeOfPrefixesIsSearchedAndOnlyFs2002FoldersAreListed) {
    const std::vector<FsInstallation> found = SearchAll(places);
    std::vector<FsInstallation> all = expected;
    all.push_back({wine / "drive_c" / kUsualFolder, wine, FoundBy::Registry});
    std::vector<FsInstallation> sorted = found;
    const auto byFolder = [](const FsInstallation& a, const FsInstallation& b) {
        return a.Folder < b.Folder;
    };
    std::sort(sorted.begin(), sorted.end(), byFolder);
    std::sort(all.begin(), all.end(), byFolder);
    EXPECT_EQ(sorted, all);

    // $WINEPREFIX first, then ~/.wine, as a user who set it expects.
    ASSERT_GE(found.size(), 2u);
    EXPECT_EQ(found[0].Prefix, elsewhere.Path() / "prefix");
    EXPECT_EQ(found[1].Prefix, wine);
}

TEST_F(Installations, EachPrefixIsSearchedOnceHoweverItIsReached) {
    // $WINEPREFIX on ~/.wine, and Steam's folder reached through two names.
    places.WinePrefix = home.Path() / ".wine";
    const std::vector<fs::path> prefixes = CandidatePrefixes(places);
    EXPECT_EQ(std::count(prefixes.begin(), prefixes.end(), wine), 1);
    EXPECT_EQ(prefixes.front(), wine);
    const auto steamPrefixes = std::count_if(prefixes.begin(), prefixes.end(), [](const fs::path& p) {
        return p.string().find("compatdata") != std::string::npos;
    });
    EXPECT_EQ(steamPrefixes, 1);
    const std::vector<FsInstallation> found = SearchAll(places);
    EXPECT_EQ(
        std::count_if(found.begin(), found.end(), [&](const FsInstallation& f) { return f.Prefix == wine; }),
        1);
    EXPECT_EQ(found.size(), expected.size());  // the other seven homes' and ~/.wine's, not the one outside
}

TEST_F(Installations, NothingIsFoundWithoutPrefixesOrWhereTheyHoldNoSimulator) {
    TempFolder bare;
    EXPECT_TRUE(SearchAll(InstallationPlaces{bare.Path(), {}}).empty());
    EXPECT_TRUE(SearchAll(InstallationPlaces{}).empty());
    EXPECT_TRUE(SearchAll(InstallationPlaces{home.Path() / "missing", home.Path() / "missing too"}).empty());
    // A folder named FS2002.EXE is no simulator.
    TempFolder other;
    const fs::path prefix = MakeWinePrefix(other.Path() / "prefix");
    fs::create_directories(prefix / "drive_c" / "FS2002" / "FS2002.EXE");
    EXPECT_TRUE(SearchAll(InstallationPlaces{{}, prefix}).empty());
}

TEST_F(Installations, TheSearchGoesFiveFoldersDeepAndFollowsNoLinks) {
    TempFolder other;
    const fs::path prefix = MakeWinePrefix(other.Path() / "prefix");
    PutSimulatorExe(prefix / "drive_c" / "1/2/3/4/5/FS2002");  // six deep
    // Wine links the user's folders into drive_c; a simulator there is not
    // the prefix's.
    fs::create_directories(prefix / "drive_c" / "users" / "me");
    fs::create_directory_symlink(wine / "drive_c" / kUsualFolder,
                                 prefix / "drive_c" / "users" / "me" / "Desktop");
    EXPECT_TRUE(SearchAll(InstallationPlaces{{}, prefix}).empty());
    PutSimulatorExe(prefix / "drive_c" / "1/2/3/4/5");  // five deep
    EXPECT_EQ(SearchAll(InstallationPlaces{{}, prefix}),
              (std::vector<FsInstallation>{{prefix / "drive_c" / "1/2/3/4/5", prefix, FoundBy::Search}}));
}

TEST_F(Installations, TheRegistrySparesTheSearchOnlyWhenItsFolderHoldsTheSimulator) {
    TempFolder other;
    const fs::path prefix = MakeWinePrefix(other.Path() / "prefix");
    // The installer's folder, then moved: the registry names a folder without it.
    WriteSimulatorRegistry(prefix, "C:\\Program Files\\Microsoft Games\\FS2002\\FS2002.EXE");
    PutSimulatorExe(prefix / "drive_c" / "Moved" / "FS2002");
    EXPECT_EQ(
        SearchAll(InstallationPlaces{{}, prefix}),
        (std::vector<FsInstallation>{{prefix / "drive_c" / "Moved" / "FS2002", prefix, FoundBy::Search}}));

    // The registry may name a folder on another drive, which the search of
    // drive_c would never see.
    fs::create_directories(other.Path() / "disk");
    fs::create_directory_symlink(other.Path() / "disk", prefix / "dosdevices" / "e:");
    PutSimulatorExe(other.Path() / "disk" / "Games" / "FS2002", "Fs2002.exe");
    WriteSimulatorRegistry(prefix, "e:\\games\\fs2002");
    EXPECT_EQ(SearchAll(InstallationPlaces{{}, prefix}),
              (std::vector<FsInstallation>{
                  {other.Path() / "disk" / "Games" / "FS2002", prefix, FoundBy::Registry}}));
}

TEST_F(Installations, StepsOfAnySizeFindTheSame) {
    InstallationSearch whole(places);
    const std::vector<FsInstallation> once = SearchAll(whole, 1000000);
    for (std::size_t entries : {1u, 7u, 64u}) {
        InstallationSearch stepped(places);
        EXPECT_EQ(SearchAll(stepped, entries), once) << entries;
        EXPECT_EQ(stepped.EntriesSeen(), whole.EntriesSeen()) << entries;
    }
}

TEST_F(Installations, UnreadableFoldersArePassedOver) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    TempFolder other;
    const fs::path prefix = MakeWinePrefix(other.Path() / "prefix");
    PutSimulatorExe(prefix / "drive_c" / "Locked" / "FS2002");
    PutSimulatorExe(prefix / "drive_c" / "Open" / "FS2002");
    fs::permissions(prefix / "drive_c" / "Locked", fs::perms::none);
    const std::vector<FsInstallation> found = SearchAll(InstallationPlaces{{}, prefix});
    fs::permissions(prefix / "drive_c" / "Locked", fs::perms::owner_all);
    EXPECT_EQ(
        found,
        (std::vector<FsInstallation>{{prefix / "drive_c" / "Open" / "FS2002", prefix, FoundBy::Search}}));
}

}  // namespace
}  // namespace tarnwick
