#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/qt_window_flow.h"
#include "selection/choice_window.h"
#include "selection_fixture.h"
#include "support/recording_message_boxes.h"

namespace tarnwick {
namespace {

using testing::RecordingMessageBoxes;
using testing::WorkFolderFixture;

// Records the hand-overs instead of opening windows or ending the program.
class RecordingFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void AreaChosen() override { ++areaChosen; }
    void EndProgram() override { ++programEnded; }
    int areaChosen = 0;
    int programEnded = 0;
};

// Notes, for every warning, whether the window's controls were disabled then.
class ProbingBoxes : public RecordingMessageBoxes {
   public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        if (probe) controlsEnabledDuringBox.push_back(probe->isEnabled());
        return RecordingMessageBoxes::Show(text, icon, buttons);
    }
    QPointer<QWidget> probe;
    std::vector<bool> controlsEnabledDuringBox;
};

class ChoiceWindowTest : public ::testing::Test {
   protected:
    explicit ChoiceWindowTest(bool withMagdec = true)
        : fixture(testing::SeattleAirports(), testing::SeattleAirspaces(), withMagdec),
          flow(state, boxes, fixture.Folder.String()) {
        fixture.PrepareState(state);
    }
    ~ChoiceWindowTest() override {
        if (window) delete window.data();
    }

    void Open() {
        window = flow.ShowChoice();
        boxes.probe = Find<QPushButton>(kGetAreaButtonName);
    }
    void Load() {
        Open();
        window->LoadingTick();
    }
    template <typename T>
    T* Find(const char* name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Type(QWidget* target, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }
    void DeliverDeletions() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    WorkFolderFixture fixture;
    ProgramState state;
    ProbingBoxes boxes;
    RecordingFlow flow;
    QPointer<ChoiceWindow> window;
};

TEST_F(ChoiceWindowTest, LoadingTickFillsBothListsAndEndsInAirportMode) {
    Open();
    auto* timer = Find<QTimer>(kLoadingTimerName);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(Find<QLineEdit>(kChoiceStatusEditName)->text(), "-None-");
    window->LoadingTick();
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(boxes.shown.empty());
    auto* combo1 = Find<QComboBox>(kAirportComboName);
    auto* combo2 = Find<QComboBox>(kSectorComboName);
    ASSERT_EQ(combo1->count(), 4);
    EXPECT_EQ(combo1->itemText(0), "Seattle-Tacoma Intl  (KSEA)");
    EXPECT_EQ(combo1->itemText(3), "Vancouver Intl  (CYVR)");
    ASSERT_EQ(combo2->count(), 2);
    EXPECT_EQ(combo2->itemText(0), "SEATTLE CENTER");
    EXPECT_EQ(combo2->itemText(1), "VANCOUVER FIR");
    EXPECT_EQ(combo1->currentIndex(), -1) << "the prompt shows until a choice is made";
    EXPECT_TRUE(combo1->isEnabled());
    EXPECT_FALSE(combo2->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(kAirportOptionName)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(kSectorOptionName)->isChecked());
    EXPECT_TRUE(Find<QPushButton>(kGetAreaButtonName)->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(kChoiceStatusEditName)->text(), "Done");
    EXPECT_EQ(Find<QProgressBar>(kChoiceProgressBarName)->value(), 0);
    EXPECT_EQ(state.Declination->Cells[DeclinationGrid::IndexOf(47, 237)], -2730);
}

TEST_F(ChoiceWindowTest, TypingFiltersAnywhereIgnoringCase) {
    Load();
    auto* combo1 = Find<QComboBox>(kAirportComboName);
    combo1->setFocus();
    Type(combo1->lineEdit(), "intl");
    QCompleter* completer = combo1->completer();
    ASSERT_NE(completer, nullptr);
    EXPECT_EQ(completer->completionCount(), 3);  // Seattle-Tacoma, Portland, Vancouver
    Type(combo1->lineEdit(), "  (kp");
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), "Portland Intl  (KPDX)");
}

TEST_F(ChoiceWindowTest, ChoosingAnAirportGathersItsAreaAndHandsOver) {
    Load();
    auto* combo1 = Find<QComboBox>(kAirportComboName);
    combo1->setCurrentIndex(1);
    Find<QPushButton>(kGetAreaButtonName)->click();
    EXPECT_EQ(flow.areaChosen, 1);
    EXPECT_EQ(flow.programEnded, 0);
    EXPECT_EQ(state.Area.AreaTitle, "Boeing Field  (KBFI)");
    EXPECT_EQ(state.Area.AreaKind, "Airport");
    EXPECT_EQ(state.Area.AreaAirportCount, 2);
    EXPECT_EQ(state.World.WorldAirports.size(), 1u) << "world tables released";
    EXPECT_TRUE(window->ChoiceMade());
    DeliverDeletions();
    EXPECT_TRUE(window.isNull()) << "the choice window closes after the hand-over";
}

TEST_F(ChoiceWindowTest, TypedTextCountsAsTheOneEntryTheFilterShowsForIt) {
    Load();
    auto* combo1 = Find<QComboBox>(kAirportComboName);
    combo1->setEditText("intl");  // three airports hold it
    Find<QPushButton>(kGetAreaButtonName)->click();
    EXPECT_EQ(flow.areaChosen, 0) << "no one entry chosen: nothing happens";
    EXPECT_EQ(state.World.WorldAirports.size(), 5u);
    EXPECT_EQ(Find<QLineEdit>(kChoiceStatusEditName)->text(), "Done");

    combo1->setEditText("ksea");
    Find<QPushButton>(kGetAreaButtonName)->click();
    EXPECT_EQ(flow.areaChosen, 1);
    EXPECT_EQ(state.Area.AreaTitle, "Seattle-Tacoma Intl  (KSEA)");
    ASSERT_EQ(state.Area.AreaAirspaceCount, 4);  // Seattle Center low and high, class B, TRACON
    EXPECT_TRUE(state.Display.DisplayHighArtcc);
}

TEST_F(ChoiceWindowTest, EnterTakesTheHighlightedOrOnlySuggestion) {
    Load();
    auto* combo1 = Find<QComboBox>(kAirportComboName);
    QWidget* popup = combo1->completer()->popup();
    const auto press = [](QWidget* target, Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    combo1->setFocus();
    Type(combo1->lineEdit(), "kbfi");
    ASSERT_TRUE(popup->isVisible());
    press(popup, Qt::Key_Return);
    EXPECT_EQ(combo1->currentText(), "Boeing Field  (KBFI)");
    EXPECT_EQ(combo1->currentIndex(), 1);

    combo1->clearEditText();
    Type(combo1->lineEdit(), "intl");
    ASSERT_TRUE(popup->isVisible());
    press(popup, Qt::Key_Down);
    press(popup, Qt::Key_Down);
    press(popup, Qt::Key_Return);
    EXPECT_EQ(combo1->currentText(), "Portland Intl  (KPDX)");
    EXPECT_EQ(combo1->currentIndex(), 2);
}

TEST_F(ChoiceWindowTest, TheControlsWaitForTheLists) {
    Open();
    for (const char* name : {kChoiceExitButtonName, kGetAreaButtonName, kAirportComboName, kSectorComboName,
                             kAirportOptionName, kSectorOptionName})
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
    window->LoadingTick();
    for (const char* name : {kChoiceExitButtonName, kGetAreaButtonName, kAirportComboName, kAirportOptionName,
                             kSectorOptionName})
        EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
}

TEST_F(ChoiceWindowTest, SectorModeSwitchesTheListsAndGathersTheSector) {
    Load();
    auto* option2 = Find<QRadioButton>(kSectorOptionName);
    option2->click();
    EXPECT_TRUE(Find<QComboBox>(kSectorComboName)->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(kAirportComboName)->isEnabled());
    EXPECT_FALSE(Find<QRadioButton>(kAirportOptionName)->isChecked());

    Find<QComboBox>(kSectorComboName)->setCurrentIndex(1);
    Find<QPushButton>(kGetAreaButtonName)->click();
    EXPECT_EQ(flow.areaChosen, 1);
    EXPECT_EQ(state.Area.AreaTitle, "VANCOUVER FIR");
    EXPECT_EQ(state.Area.AreaKind, "ARTCC/FIR sector");
    EXPECT_EQ(state.Area.AreaAirspaceCount, 3) << "every ARTCC/FIR airspace of the world";
}

TEST_F(ChoiceWindowTest, ExitEndsTheProgramOnlyWithoutASession) {
    Load();
    Find<QPushButton>(kChoiceExitButtonName)->click();
    EXPECT_EQ(flow.programEnded, 1);
    EXPECT_EQ(state.World.WorldAirports.size(), 1u) << "world tables released";
    DeliverDeletions();
    EXPECT_TRUE(window.isNull());

    state.Session.SessionConnected = true;  // back to the radar window instead
    Load();
    window->close();
    EXPECT_EQ(flow.programEnded, 1);
}

class ChoiceWindowDamagedTest : public ChoiceWindowTest {
   protected:
    ChoiceWindowDamagedTest() : ChoiceWindowTest(false) {}
};

TEST_F(ChoiceWindowDamagedTest, MissingFilesAreWarnedAboutWithControlsDisabledAndTheWindowGoesOn) {
    std::filesystem::remove(fixture.Folder.Path() / "world_airports.dat");
    Load();
    // Both problems in one message.
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Icon, MessageIcon::Warning);
    EXPECT_NE(boxes.shown[0].Text.find("magdec.bgl"), std::string::npos) << boxes.shown[0].Text;
    EXPECT_NE(boxes.shown[0].Text.find("world_airports.dat"), std::string::npos) << boxes.shown[0].Text;
    EXPECT_EQ(boxes.controlsEnabledDuringBox, (std::vector<bool>{false}));
    EXPECT_EQ(Find<QComboBox>(kAirportComboName)->count(), 0);
    EXPECT_EQ(Find<QComboBox>(kSectorComboName)->count(), 2);
    EXPECT_EQ(Find<QLineEdit>(kChoiceStatusEditName)->text(), "Done");
    EXPECT_TRUE(Find<QPushButton>(kGetAreaButtonName)->isEnabled());
    EXPECT_EQ(state.Declination->Cells[1000], 0);
}

}  // namespace
}  // namespace tarnwick
