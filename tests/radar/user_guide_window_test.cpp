#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QTextBrowser>

#include "base/user_guide.h"
#include "radar/qt_user_guide.h"
#include "radar/radar_window.h"
#include "state/program_state.h"
#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Catches what would go to the desktop's viewer: a text browser's setSource
// slot takes the URL.
class OpenedUrls : public ::testing::Test {
   protected:
    OpenedUrls() { QDesktopServices::setUrlHandler("file", &viewer, "setSource"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler("file"); }

    QTextBrowser viewer;
    testing::RecordingMessageBoxes boxes;
};

TEST_F(OpenedUrls, TheGuideBesideTheProgramOpensInTheDesktopsViewer) {
    OpenUserGuide(boxes, TARNWICK_BIN_DIR);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(viewer.source(),
              QUrl::fromLocalFile(QString::fromStdString(FindUserGuide(TARNWICK_BIN_DIR).string())));
}

TEST_F(OpenedUrls, WithoutAGuideTheUserIsToldWhereToReadIt) {
    testing::TempFolder prefix;
    OpenUserGuide(boxes, prefix.Path() / "bin");
    EXPECT_TRUE(viewer.source().isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, UserGuideMissingMessage(UserGuidePath(prefix.Path() / "bin")));
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Information);
}

TEST_F(OpenedUrls, TheRadarWindowsAboutMenuOpensTheGuideFirstAndOnF1) {
    ProgramState state;
    RadarWindow window(state.Area, state.Display, state.Aids, *state.Declination, state.Session, boxes);
    auto* about = window.findChild<QMenu*>(kAboutMenuName);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->title(), "About");
    const QList<QAction*> items = about->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), kUsersGuideActionName);
    EXPECT_EQ(items[0]->text(), "User's guide");
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(items[1]->objectName(), kAboutActionName);

    items[0]->trigger();
    EXPECT_TRUE(boxes.shown.empty());
    // The test programs run from the build's bin folder, beside the staged guide.
    ASSERT_TRUE(viewer.source().isLocalFile()) << viewer.source().toString().toStdString();
    EXPECT_TRUE(fs::equivalent(viewer.source().toLocalFile().toStdString(), FindUserGuide(TARNWICK_BIN_DIR)));
}

}  // namespace
}  // namespace tarnwick
