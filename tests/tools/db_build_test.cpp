#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "app/qt_window_flow.h"
#include "app/setup_window.h"
#include "base/ansi.h"
#include "scenery/builder_window.h"
#include "scenery/database_file.h"
#include "selection/choice_window.h"
#include "state/settings.h"
#include "support/fs_folder_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::AirportFileBytes;
using testing::RunTool;
using testing::TempFolder;
using testing::WriteFile;

class QuietFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void EndProgram() override { ++programEnded; }
    void ChoiceClosed() override {}
    int programEnded = 0;
};

class DbBuildTest : public ::testing::Test {
   protected:
    DbBuildTest() {
        testing::WriteFsFolder(Root(),
                               "[Area.1]\r\nTitle=World\r\nLocal=Scenery\\World\r\n"
                               "[Area.2]\r\nTitle=Gone\r\nLocal=Nowhere\r\n"
                               "[Area.3]\r\nTitle=Addon\r\nLocal=ADDON\r\n");
        WriteFile(Root(), "Scenery/World/Scenery/AP1.BGL", AirportFileBytes({{"One", "k001", 47, -122}}));
        WriteFile(Root(), "Scenery/World/Scenery/ap0.bgl",
                  AirportFileBytes({{"Zero", "k000", 46, -122}, {"Zero Two", "k0002", 46.5, -122}}));
        WriteFile(Root(), "Scenery/World/Scenery/terrain.bgl", testing::NonSceneryBytes());
        std::vector<std::uint8_t> cut = AirportFileBytes({{"Cut", "kcut", 1, 1}});
        cut.resize(cut.size() - 10);
        WriteFile(Root(), "Addon/scenery/cut.bgl", cut);
        WriteFile(Root(), "Addon/scenery/x.bgl", AirportFileBytes({{"Addon", "kadd", 50, -121}}));
    }

    fs::path Root() const { return fsFolder.Path() / "FS2002"; }
    std::string RootText() const { return Root().string(); }

    // Setup and builder windows driven through their controls, as a user
    // would on a first run.
    void BuildThroughWindows(const TempFolder& work) {
        ProgramState state;
        state.Settings.WorkFolder = work.String();
        state.Settings.RebuildPending = true;
        testing::RecordingMessageBoxes boxes;
        QuietFlow flow(state, boxes, work.String());
        auto* setup = flow.ShowSetup();
        setup->findChild<QLineEdit*>(kFolderEditName)->setText(QString::fromStdString(RootText()));
        setup->findChild<QPushButton*>(kNextStepButtonName)->click();
        QWidget* builder = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == kBuilderWindowName && widget->isVisible()) builder = widget;
        }
        ASSERT_NE(builder, nullptr);
        auto tick = [builder](const char* timer) {
            QMetaObject::invokeMethod(builder->findChild<QTimer*>(timer), "timeout", Qt::DirectConnection);
        };
        tick(kReadSceneriesPathsTimerName);
        builder->findChild<QPushButton*>(kCreateDatabasesButtonName)->click();
        for (int guard = 0; builder->isVisible() && guard < 100; ++guard) tick(kReadAllAirportsTimerName);
        EXPECT_FALSE(builder->isVisible());
        EXPECT_EQ(flow.programEnded, 0);
        QList<QPointer<QWidget>> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == kSetupWindowName || widget->objectName() == kBuilderWindowName ||
                widget->objectName() == kChoiceWindowName) {
                windows << widget;
            }
        }
        for (const QPointer<QWidget>& widget : windows) delete widget.data();
    }

    TempFolder fsFolder;
};

TEST_F(DbBuildTest, WritesTheSameFilesAsTheWindows) {
    TempFolder windows, tool;
    BuildThroughWindows(windows);
    const auto run = RunTool("tarnwick-db", {"build", RootText(), tool.String()});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    for (const char* name : {kSettingsFileName, kAirportsFileName, kAirspacesFileName}) {
        const auto expected = testing::ReadBytes(windows.Path() / name);
        EXPECT_FALSE(expected.empty()) << name;
        EXPECT_EQ(testing::ReadBytes(tool.Path() / name), expected) << name;
    }
    const SettingsRecord settings = ReadSettingsFile(tool.Path() / kSettingsFileName).Record;
    EXPECT_EQ(settings.FsFolder, RootText());
    EXPECT_EQ(settings.FsVersion, 1);
    EXPECT_EQ(settings.AirportCount, 4);

    EXPECT_NE(run.Out.find("areas:     2 used, 1 skipped"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("files:     5 listed, 5 scanned, 4 accepted, 1 malformed"), std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("cut.bgl: "), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("airports:  4"), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find("scanned 5 of 5 files"), std::string::npos) << run.Err;
}

TEST_F(DbBuildTest, AnOlderLongerSettingsFileLeavesNoTail) {
    TempFolder work;
    work.Write(kSettingsFileName, std::vector<std::uint8_t>(300, 0x41));
    const auto run = RunTool("tarnwick-db", {"build", RootText() + "/", work.String() + "/"});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const SettingsReadResult settings = ReadSettingsFile(work.Path() / kSettingsFileName);
    EXPECT_EQ(settings.Record.FsFolder, RootText() + "/");  // stored exactly as given
    EXPECT_EQ(fs::file_size(work.Path() / kSettingsFileName), EncodeSettings(settings.Record).size());
}

TEST_F(DbBuildTest, FailuresExitNonZeroAndLeaveNoHalfBuild) {
    TempFolder work;
    EXPECT_EQ(RunTool("tarnwick-db", {"build"}).ExitStatus, 2);

    const auto notFs = RunTool("tarnwick-db", {"build", fsFolder.String(), work.String()});
    EXPECT_EQ(notFs.ExitStatus, 1);
    EXPECT_NE(notFs.Err.find("FS2002.EXE"), std::string::npos) << notFs.Err;

    const auto noWork = RunTool("tarnwick-db", {"build", RootText(), (work.Path() / "missing").string()});
    EXPECT_EQ(noWork.ExitStatus, 1);

    fs::remove(Root() / "Scenery" / "magdec.bgl");
    const auto noMagdec = RunTool("tarnwick-db", {"build", RootText(), work.String()});
    EXPECT_EQ(noMagdec.ExitStatus, 1);
    EXPECT_NE(noMagdec.Err.find("magdec.bgl"), std::string::npos) << noMagdec.Err;
    EXPECT_TRUE(fs::is_empty(work.Path()));
}

TEST(DbBuildNonAscii, AFolderNamedOutsideAsciiIsFoundAgainFromTheStoredText) {
    TempFolder scenery, work;
    const fs::path root = scenery.Path() / "fs \xC3\xBC";  // "fs ü" on disk
    testing::WriteFsFolder(root,
                           "[Area.1]\r\nTitle=World\r\nLocal=Scenery\\World\r\n"
                           "[Area.2]\r\nTitle=Add-ons\r\nLocal=Zus\xE4tze\r\n");  // Windows-1252 text
    WriteFile(root, "Scenery/World/Scenery/ap.bgl", AirportFileBytes({{"One", "k001", 47, -122}}));
    WriteFile(root, "Zus\xC3\xA4tze/Scenery/x.bgl", AirportFileBytes({{"Two", "k002", 48, -122}}));
    // Typed as on Windows, where the case of a name does not matter.
    const std::string typed = (scenery.Path() / "FS \xC3\x9C").string();
    const auto build = RunTool("tarnwick-db", {"build", typed, work.String()});
    ASSERT_EQ(build.ExitStatus, 0) << build.Err;
    EXPECT_NE(build.Out.find("airports:  2"), std::string::npos) << build.Out;
    EXPECT_EQ(ReadSettingsFile(work.Path() / kSettingsFileName).Record.FsFolder, Utf8ToAnsi(typed));
    // The next start finds magdec.bgl through the stored text too.
    const auto area = RunTool("tarnwick-db", {"area", work.String(), "--airport", "Two  (K002)"});
    EXPECT_EQ(area.ExitStatus, 0) << area.Err;
}

}  // namespace
}  // namespace tarnwick
