#include "state/settings.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "state/settings_writes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

TEST(Settings, FirstRunRecordIsFortyThreeBytes) {
    TempFolder folder;
    SettingsState settings;
    settings.WorkFolder = folder.String();
    WriteSetupSettings(settings, "C:\\FS2002", true);
    const auto bytes = ReadWholeFile(folder.Path() / kSettingsFileName);
    std::vector<std::uint8_t> expected = {20, 0};
    for (char c : std::string("Tarnwick Version 2.0")) expected.push_back(static_cast<std::uint8_t>(c));
    expected.insert(expected.end(), {1, 1, 9, 0});
    for (char c : std::string("C:\\FS2002")) expected.push_back(static_cast<std::uint8_t>(c));
    expected.insert(expected.end(), 8, 0);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 43u);
    EXPECT_EQ(settings.FsVersion, 1);
    EXPECT_EQ(settings.FsFolder, "C:\\FS2002");
}

TEST(Settings, BuilderUpdateChangesOnlyTheCounts) {
    TempFolder folder;
    SettingsState settings;
    settings.WorkFolder = folder.String();
    WriteSetupSettings(settings, "/srv/fs2002", true);
    const auto before = ReadWholeFile(folder.Path() / kSettingsFileName);
    settings.AirportCount = 1500;
    settings.AirspaceCount = 300;
    WriteBuilderSettings(settings);
    const auto after = ReadWholeFile(folder.Path() / kSettingsFileName);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end() - 8, after.begin()));
    const SettingsRecord read = ReadSettingsFile(folder.Path() / kSettingsFileName).Record;
    EXPECT_EQ(read.AirportCount, 1500);
    EXPECT_EQ(read.AirspaceCount, 300);
    EXPECT_EQ(read.FsFolder, "/srv/fs2002");
}

TEST(Settings, WithoutTheSimulatorOptionTheVersionStaysAsItWas) {
    TempFolder folder;
    SettingsState settings;
    settings.WorkFolder = folder.String();
    WriteSetupSettings(settings, "", false);
    const SettingsRecord read = ReadSettingsFile(folder.Path() / kSettingsFileName).Record;
    EXPECT_EQ(read.FsVersion, 0);
    EXPECT_EQ(read.FsFolder, "");  // stored as a zero length and no bytes
    EXPECT_EQ(read.SetupDone, 1);
}

TEST(Settings, ALongerOlderFileKeepsItsTail) {
    TempFolder folder;
    const auto path = folder.Path() / kSettingsFileName;
    SettingsRecord old;
    old.FsFolder = "/a/very/long/simulator/folder/name";
    WriteSettingsFile(path, old);
    const auto oldBytes = ReadWholeFile(path);
    SettingsRecord shorter;
    shorter.FsFolder = "/fs";
    WriteSettingsFile(path, shorter);
    const auto bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes.size(), oldBytes.size());
    EXPECT_EQ(ReadSettingsFile(path).Record, shorter);
}

TEST(Settings, ShortFilesReadAsEmptyAndZero) {
    SettingsRecord full;
    full.ProgramTitle = kSettingsFileTitle;
    full.SetupDone = 1;
    full.FsVersion = 1;
    full.FsFolder = "C:\\FS2002";
    full.AirportCount = 77;
    full.AirspaceCount = 12;
    const auto bytes = EncodeSettings(full);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const auto result = DecodeSettings(std::span(bytes).first(cut));
        EXPECT_FALSE(result.Complete) << cut;
        EXPECT_EQ(result.Record.AirspaceCount, 0) << cut;
    }
    const auto cutInCounts = DecodeSettings(std::span(bytes).first(bytes.size() - 4));
    EXPECT_EQ(cutInCounts.Record.AirportCount, 77);
    EXPECT_EQ(cutInCounts.Record.FsFolder, "C:\\FS2002");
    EXPECT_TRUE(DecodeSettings(bytes).Complete);
}

TEST(Settings, ARecordSetupNeverWritesCannotBeTrusted) {
    SettingsRecord written;
    written.ProgramTitle = kSettingsFileTitle;
    written.SetupDone = 1;
    written.FsVersion = 1;
    written.FsFolder = "C:\\FS2002";
    EXPECT_TRUE(DecodeSettings(EncodeSettings(written)).Problem.empty());
    for (const auto& damage : std::vector<void (*)(SettingsRecord&)>{
             [](SettingsRecord& r) { r.ProgramTitle = "Tarnwick Version 2.\x01"; },
             [](SettingsRecord& r) { r.SetupDone = 0; },
             [](SettingsRecord& r) { r.FsVersion = 7; },
             [](SettingsRecord& r) { r.AirspaceCount = -1; },
         }) {
        SettingsRecord record = written;
        damage(record);
        EXPECT_FALSE(DecodeSettings(EncodeSettings(record)).Problem.empty());
    }
}

}  // namespace
}  // namespace tarnwick
