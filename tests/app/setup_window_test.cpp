#include "app/setup_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/qt_folder_tree.h"
#include "app/qt_window_flow.h"
#include "scenery/builder_window.h"
#include "scenery/fs_folder.h"
#include "state/settings.h"
#include "state/work_folder.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessageBoxes;
using testing::TempFolder;

class RecordingFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void EndProgram() override { ++programEnded; }
    int programEnded = 0;
};

class SetupWindowTest : public ::testing::Test {
   protected:
    SetupWindowTest() : flow(state, boxes, work.String()) {
        state.Settings.WorkFolder = work.String();
        window = flow.ShowSetup();
        window->show();
    }
    ~SetupWindowTest() override { CloseWindows(); }

    void CloseWindows() {
        // Whatever opened next (the builder) goes too, without ending anything.
        QList<QPointer<QWidget>> builders;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == kBuilderWindowName) builders << widget;
        }
        for (const QPointer<QWidget>& widget : builders) delete widget.data();
        if (window) {
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            delete window.data();
        }
    }

    // The window again, looking for FS2002 in `places`, its search run to the end.
    void ReopenLookingIn(const InstallationPlaces& places) {
        CloseWindows();
        flow.SetInstallationPlaces(places);
        window = flow.ShowSetup();
        window->show();
        auto* search = Find<QTimer>(kInstallationSearchTimerName);
        for (int guard = 0; search->isActive() && guard < 100000; ++guard)
            QMetaObject::invokeMethod(search, "timeout", Qt::DirectConnection);
        EXPECT_FALSE(search->isActive());
    }

    template <typename T>
    T* Find(const char* name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* Text1() const { return Find<QLineEdit>(kFolderEditName); }
    fs::path SettingsFile() const { return WorkFile(state.Settings.WorkFolder, kSettingsFileName); }
    bool BuilderShown() const {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == kBuilderWindowName && widget->isVisible()) return true;
        }
        return false;
    }

    TempFolder work, fs;
    ProgramState state;
    RecordingMessageBoxes boxes;
    RecordingFlow flow;
    QPointer<SetupWindow> window;
};

TEST_F(SetupWindowTest, OpensWithTheOnlyVersionChosenAndTheWorkFolder) {
    EXPECT_EQ(window->objectName(), "Form3");
    EXPECT_EQ(window->windowTitle(), "Settings");
    EXPECT_EQ(Find<QGroupBox>(kSimulatorFrameName)->title(), "Flight Simulator Information");
    EXPECT_EQ(Find<QGroupBox>(kFolderFrameName)->title(), "Flight Simulator's Path");
    EXPECT_EQ(Find<QLabel>(kVersionLabelName)->text(),
              "Select the version of your Microsoft Flight Simulator:");
    EXPECT_EQ(Find<QLabel>(kFolderExampleLabelName)->text(),
              "Example: C:\\Program Files\\Microsoft Games\\Fs2002");
    EXPECT_EQ(Find<QPushButton>(kNextStepButtonName)->text(), "NEXT STEP --->");
    EXPECT_TRUE(Find<QRadioButton>(kFs2002OptionName)->isChecked());
    EXPECT_EQ(state.Settings.FsVersion, 1);
    EXPECT_FALSE(window->SetupFinished());

    auto* drive1 = Find<QComboBox>(kSetupDriveListName);
    ASSERT_GT(drive1->count(), 0);
    EXPECT_TRUE(drive1->itemText(0).startsWith("/ [")) << drive1->itemText(0).toStdString();
    // The folder tree opens on the work folder, not wherever the process runs.
    EXPECT_EQ(Text1()->text(), QString::fromStdString(work.String()));
    EXPECT_EQ(Find<FolderTree>(kFolderTreeName)->Path(), QString::fromStdString(work.String()));
}

TEST_F(SetupWindowTest, FolderTreeAndDriveRootsFeedThePathText) {
    fs::create_directories(fs.Path() / "Games" / "FS2002");
    auto* dir1 = Find<FolderTree>(kFolderTreeName);
    dir1->SetRootAndPath("/", QString::fromStdString((fs.Path() / "Games").string()));
    EXPECT_EQ(Text1()->text().toStdString(), (fs.Path() / "Games").string());
    dir1->SetPath(QString::fromStdString((fs.Path() / "Games" / "FS2002").string()));
    EXPECT_EQ(Text1()->text().toStdString(), (fs.Path() / "Games" / "FS2002").string());

    Text1()->setText("D:\\");
    EXPECT_EQ(Text1()->text(), "D:");
    Text1()->setText("e:/");
    EXPECT_EQ(Text1()->text(), "e:");
    Text1()->setText("/fs");  // a Linux path of three characters stays
    EXPECT_EQ(Text1()->text(), "/fs");
    Text1()->setText("/");
    EXPECT_EQ(Text1()->text(), "/");
}

TEST_F(SetupWindowTest, AFolderWithoutTheSimulatorIsRefusedAndNothingWritten) {
    Text1()->setText(QString::fromStdString(fs.String()));
    Find<QPushButton>(kNextStepButtonName)->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, kNotFs2002Folder);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Warning);
    EXPECT_FALSE(fs::exists(SettingsFile()));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(BuilderShown());
}

TEST_F(SetupWindowTest, TheSimulatorFolderIsSavedAsTypedAndTheBuilderOpens) {
    fs.Write("Fs2002/Fs2002.Exe", std::string());  // copied from Windows in its own case
    const std::string typed = (fs.Path() / "FS2002").string() + "/";
    Text1()->setText(QString::fromStdString(typed));
    Find<QPushButton>(kNextStepButtonName)->click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, kSettingsCreated);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Information);
    SettingsRecord expected;
    expected.ProgramTitle = kSettingsFileTitle;
    expected.SetupDone = 1;
    expected.FsVersion = 1;
    expected.FsFolder = typed;
    EXPECT_EQ(ReadSettingsFile(SettingsFile()).Record, expected);
    EXPECT_EQ(fs::file_size(SettingsFile()), EncodeSettings(expected).size());
    EXPECT_EQ(state.Settings.FsFolder, typed);
    EXPECT_TRUE(window->SetupFinished());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(BuilderShown());
    EXPECT_EQ(flow.programEnded, 0);
}

TEST_F(SetupWindowTest, ClosingBeforeTheEndRemovesTheSettingsFileAndEndsTheProgram) {
    work.Write("atc_settings.tcs", std::string("old"));
    work.Write("OTHER.TCS", std::string("someone else's"));
    work.Write("world_airports.dat", std::string("keep"));
    window->close();
    EXPECT_FALSE(fs::exists(work.Path() / "atc_settings.tcs"));
    EXPECT_TRUE(fs::exists(work.Path() / "OTHER.TCS")) << "only the program's own settings file goes";
    EXPECT_TRUE(fs::exists(work.Path() / "world_airports.dat"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, kSetupNotFinished);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Information);
    EXPECT_EQ(flow.programEnded, 1);
}

TEST_F(SetupWindowTest, PickingAFoundSimulatorFillsThePathAndSetupGoesOnAsTyped) {
    TempFolder home;
    const fs::path prefix = testing::MakeWinePrefix(home.Path() / ".wine");
    const fs::path found = prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002";
    testing::PutSimulatorExe(found);
    ReopenLookingIn({home.Path(), {}});

    EXPECT_EQ(Find<QLabel>(kInstallationsLabelName)->text(), "FS2002 found on this computer:");
    auto* list = Find<QListWidget>(kInstallationsListName);
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "~/.wine/drive_c/Program Files/Microsoft Games/FS2002");
    EXPECT_EQ(list->item(0)->toolTip(), "In the Wine prefix ~/.wine, found by searching its drive_c");
    // Found is not picked: the path is the work folder until the user chooses.
    EXPECT_EQ(Text1()->text(), QString::fromStdString(work.String()));

    list->setCurrentRow(0);
    EXPECT_EQ(Text1()->text().toStdString(), found.string());
    // The tree still takes over when used.
    Find<FolderTree>(kFolderTreeName)->SetRootAndPath("/", QString::fromStdString(home.String()));
    EXPECT_EQ(Text1()->text().toStdString(), home.String());
    list->setCurrentRow(-1);
    list->setCurrentRow(0);
    EXPECT_EQ(Text1()->text().toStdString(), found.string());

    Find<QPushButton>(kNextStepButtonName)->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, kSettingsCreated);
    EXPECT_EQ(ReadSettingsFile(SettingsFile()).Record.FsFolder, found.string());
    EXPECT_TRUE(BuilderShown());
}

TEST_F(SetupWindowTest, WithNothingFoundOneLineSaysSoAndTheTreeWorksAsBefore) {
    TempFolder home;
    testing::MakeWinePrefix(home.Path() / ".wine");
    ReopenLookingIn({home.Path(), {}});
    const QString line = Find<QLabel>(kInstallationsLabelName)->text();
    EXPECT_EQ(line, "FS2002 was not found in this user's Wine prefixes: choose its folder below.");
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_FALSE(Find<QListWidget>(kInstallationsListName)->isVisible());

    fs::create_directories(fs.Path() / "FS2002");
    Find<FolderTree>(kFolderTreeName)
        ->SetRootAndPath("/", QString::fromStdString((fs.Path() / "FS2002").string()));
    EXPECT_EQ(Text1()->text().toStdString(), (fs.Path() / "FS2002").string());
    // The controls the window always had are all there.
    for (const char* name : {kSimulatorFrameName, kFolderFrameName}) Find<QGroupBox>(name);
    for (const char* name :
         {kVersionLabelName, kFolderPromptLabelName, kFolderExampleLabelName, kCurrentFolderLabelName})
        Find<QLabel>(name);
    Find<QComboBox>(kSetupDriveListName);
    Find<QPushButton>(kNextStepButtonName);
}

}  // namespace
}  // namespace tarnwick
