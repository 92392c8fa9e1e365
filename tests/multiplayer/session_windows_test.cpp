#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/preferences_window.h"
#include "base/program_name.h"
#include "session_windows_fixture.h"

namespace tarnwick {
namespace {

using testing::SessionWindowsTest;

QTimer* Timer(QObject* owner, const char* name) { return owner->findChild<QTimer*>(name); }

QStringList Lines(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

TEST_F(SessionWindowsTest, TheDemoIsJoinedThroughTheControlsAndOpensRadarAndChat) {
    flow->AreaChosen();
    ConnectionWindow* form2 = Form2();
    ASSERT_NE(form2, nullptr) << "without a session the choice hands over to the connection window";
    EXPECT_EQ(Form1(), nullptr);
    EXPECT_EQ(Control<QLabel>(form2, kConnectionStatusLabelName)->text(), "-None-");

    LocateAndJoin();
    const QStringList sessions = Lines(Control<QListWidget>(form2, kSessionListName));
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_TRUE(sessions[0].startsWith("Tarnwick demo (") && sessions[0].endsWith("/16)"))
        << sessions[0].toStdString();
    EXPECT_EQ(Control<QLabel>(form2, kConnectionStatusLabelName)->text(), "Connecting...");
    EXPECT_FALSE(Control<QPushButton>(form2, kLocateButtonName)->isEnabled());
    EXPECT_TRUE(Timer(form2, kAcceptanceTimerName)->isActive());
    EXPECT_TRUE(Timer(form2, kJoinRepeatTimerName)->isActive());

    clock += std::chrono::milliseconds(1000);
    form2->AcceptanceTick();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().Text, "Connected to FS session!");
    QApplication::processEvents();
    EXPECT_EQ(Form2(), nullptr);
    EXPECT_EQ(flow->programEnded, 0) << "the connection window closed after acceptance keeps the program";
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    EXPECT_EQ(radar->windowTitle(), QString(kProgramName) + " - Seattle Tacoma Intl  (KSEA)");
    // The session's timers are the window flow's, the view's the radar window's.
    for (const char* timer : {kReceiveTimerName, kUpkeepTimerName})
        EXPECT_TRUE(Timer(flow.get(), timer)->isActive()) << timer;
    for (const char* timer : {kRedrawTimerName, kHoverTimerName})
        EXPECT_TRUE(Timer(radar, timer)->isActive()) << timer;
    EXPECT_EQ(Timer(flow.get(), kReceiveTimerName)->interval(), 100);
    EXPECT_EQ(Timer(flow.get(), kUpkeepTimerName)->interval(), 30000);
    ChatWindow* chat = Form6();
    ASSERT_NE(chat, nullptr);

    // The pilots identify themselves and talk now and then.
    RunReceiveTicks(20);
    const QStringList players = Lines(Control<QListWidget>(chat, kChatPlayerListName));
    ASSERT_GE(players.size(), 7) << "the controller and at least six pilots";
    EXPECT_EQ(players[0], kDefaultNickname);
    EXPECT_GT(Control<QPlainTextEdit>(chat, kChatLogName)->document()->blockCount(), 1);
}

TEST_F(SessionWindowsTest, ADemoStartFindsTheDemoSessionPickedOnlyInTheFirstConnectionWindow) {
    flow->OfferDemoSessionFirst();
    flow->AreaChosen();
    ConnectionWindow* form2 = Form2();
    ASSERT_NE(form2, nullptr);
    ASSERT_EQ(Lines(Control<QListWidget>(form2, kSessionListName)).size(), 1);
    Control<QPushButton>(form2, kJoinButtonName)->click();
    EXPECT_EQ(Control<QLabel>(form2, kConnectionStatusLabelName)->text(), "Connecting...")
        << "one click joins";

    form2->close();
    QApplication::processEvents();
    EXPECT_TRUE(Lines(Control<QListWidget>(flow->ShowConnection(), kSessionListName)).empty());
}

TEST_F(SessionWindowsTest, ClosingTheConnectionWindowBeforeAcceptanceEndsTheProgram) {
    flow->AreaChosen();
    ConnectionWindow* form2 = Form2();
    ASSERT_NE(form2, nullptr);
    Control<QPushButton>(form2, kLocateButtonName)->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, "Please select one type of connection.");
    EXPECT_EQ(Control<QLabel>(form2, kConnectionStatusLabelName)->text(), "Disconnected");

    LocateAndJoin();
    EXPECT_TRUE(Timer(form2, kAcceptanceTimerName)->isActive());
    Control<QPushButton>(form2, kConnectionExitButtonName)->click();
    EXPECT_EQ(flow->programEnded, 1);
    EXPECT_FALSE(play.Exists()) << "the session objects are released";
}

// Joined through the scripted session; the radar window is up.
class ScriptedSessionTest : public SessionWindowsTest {
   protected:
    ScriptedSessionTest() { JoinScriptedSession(); }
};

TEST_F(ScriptedSessionTest, ReceiveAndUpkeepKeepRunningWhileTheScopeIsLocked) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    flow->ShowPreferences();
    EXPECT_FALSE(radar->isEnabled());
    EXPECT_FALSE(Timer(radar, kRedrawTimerName)->isActive());
    EXPECT_FALSE(Timer(radar, kHoverTimerName)->isActive());
    EXPECT_TRUE(Timer(flow.get(), kReceiveTimerName)->isActive());
    EXPECT_TRUE(Timer(flow.get(), kUpkeepTimerName)->isActive());

    // The host answers the identification request the load sent, and talks.
    hub.Send(host, state.Session.OwnPlayerId, Encode(MsgJoinAccept{host}));
    hub.Send(host, kAllPlayers, EncodeTerminated(MsgChat{"Hello"}));
    flow->ReceiveTick();
    ChatWindow* chat = Form6();
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(Lines(Control<QListWidget>(chat, kChatPlayerListName)),
              (QStringList{kDefaultNickname, "Host"}));
    EXPECT_TRUE(Control<QPlainTextEdit>(chat, kChatLogName)->toPlainText().endsWith("Host: Hello"));
}

TEST_F(ScriptedSessionTest, DisconnectReturnsToAFreshConnectionWindow) {
    RadarWindow* radar = Form1();
    ASSERT_NE(radar, nullptr);
    const std::int32_t own = state.Session.OwnPlayerId;
    Control<QPushButton>(radar, kDisconnectButtonName)->click();
    QApplication::processEvents();
    EXPECT_EQ(Form1(), nullptr);
    EXPECT_EQ(Form6(), nullptr);
    EXPECT_FALSE(hub.HasPlayer(own)) << "the program's player left the session";
    EXPECT_FALSE(state.Session.SessionConnected);
    ConnectionWindow* form2 = Form2();
    ASSERT_NE(form2, nullptr);
    EXPECT_EQ(Control<QLabel>(form2, kConnectionStatusLabelName)->text(), "-None-");
    EXPECT_EQ(Control<QListWidget>(form2, kConnectionTypeListName)->count(), 3);
    EXPECT_EQ(Control<QListWidget>(form2, kSessionListName)->count(), 0);
    EXPECT_EQ(flow->programEnded, 0);
}

TEST_F(ScriptedSessionTest, AfterARejoinTheChatListsThePilotsStillInTheSession) {
    hub.Send(host, state.Session.OwnPlayerId, Encode(MsgJoinAccept{host}));
    flow->ReceiveTick();
    Control<QPushButton>(Form1(), kDisconnectButtonName)->click();
    QApplication::processEvents();

    LocateAndJoin();
    ScriptedHostAccepts();
    Form2()->AcceptanceTick();
    QApplication::processEvents();
    // The host's identification answer finds it known and adds nothing.
    hub.Send(host, state.Session.OwnPlayerId, Encode(MsgJoinAccept{host}));
    flow->ReceiveTick();
    EXPECT_EQ(Lines(Control<QListWidget>(Form6(), kChatPlayerListName)),
              (QStringList{"Host", kDefaultNickname}))
        << "the last session's own entry is gone and the host is listed without waiting for the upkeep";
}

TEST_F(ScriptedSessionTest, ALostSessionIsToldAndLeftEvenWhileTheScopeIsLocked) {
    ASSERT_NE(Form1(), nullptr);
    flow->ShowPreferences();
    boxes.shown.clear();
    hub.EndSession();
    flow->ReceiveTick();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text,
              "The FS multiplayer connection was lost, Tarnwick closes multiplayer session.");
    QApplication::processEvents();
    EXPECT_EQ(Form1(), nullptr);
    EXPECT_EQ(testing::Visible<QWidget>(kPreferencesWindowName), nullptr)
        << "the preferences go with the scope they locked";
    EXPECT_NE(Form2(), nullptr);
}

}  // namespace
}  // namespace tarnwick
