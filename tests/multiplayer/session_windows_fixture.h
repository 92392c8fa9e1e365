#pragma once
// The window flow from the connection window on, over session objects whose
// demo connection type is either the built-in demo on a hand-moved clock or a
// scripted session in this process. Timers are ticked by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <chrono>
#include <memory>

#include "app/qt_window_flow.h"
#include "multiplayer/chat_window.h"
#include "multiplayer/connection_window.h"
#include "multiplayer/game/messages.h"
#include "multiplayer/local/in_process_session.h"
#include "multiplayer/local/in_process_transport.h"
#include "multiplayer/program_sessions.h"
#include "multiplayer/session_connection.h"
#include "radar/radar_window.h"
#include "support/recording_message_boxes.h"

namespace tarnwick::testing {

class CountingFlow : public WindowFlow {
   public:
    using WindowFlow::WindowFlow;
    void EndProgram() override { ++programEnded; }
    int programEnded = 0;
};

template <typename T>
T* Visible(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible()) return qobject_cast<T*>(widget);
    }
    return nullptr;
}

class SessionWindowsTest : public ::testing::Test {
   protected:
    SessionWindowsTest() {
        state.Area.AreaTitle = "Seattle Tacoma Intl  (KSEA)";
        state.Area.AreaKind = kAreaKindAirport;
        state.Area.AreaCenterLat = 47.449;
        state.Area.AreaCenterLon = -122.309;
        hub.HostSession("Scripted session", 16, "{APP-GUID}");
        host = hub.AddPlayer("Host");
    }
    ~SessionWindowsTest() override {
        flow.reset();
        QApplication::processEvents();
    }

    ConnectionWindow* Form2() { return Visible<ConnectionWindow>(kConnectionWindowName); }
    RadarWindow* Form1() { return Visible<RadarWindow>(kRadarWindowName); }
    ChatWindow* Form6() { return Visible<ChatWindow>(kChatWindowName); }
    template <typename T>
    static T* Control(QWidget* window, const QString& name) {
        T* found = window ? window->findChild<T*>(name) : nullptr;
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // Picks the demo type, locates, picks the session and joins, as a user would.
    void LocateAndJoin() {
        ConnectionWindow* form2 = Form2();
        ASSERT_NE(form2, nullptr);
        Control<QListWidget>(form2, kConnectionTypeListName)->setCurrentRow(1);
        Control<QPushButton>(form2, kLocateButtonName)->click();
        Control<QListWidget>(form2, kSessionListName)->setCurrentRow(0);
        Control<QPushButton>(form2, kJoinButtonName)->click();
    }
    // The scripted host accepts the program's player.
    void ScriptedHostAccepts() {
        while (hub.Receive(host)) {
        }
        hub.Send(host, state.Session.OwnPlayerId, Encode(MsgJoinAccept{state.Session.OwnPlayerId}));
    }
    // Joins the scripted session from the choice on, as a user would: the
    // radar window is then up.
    void JoinScriptedSession() {
        scripted = true;
        flow->AreaChosen();
        LocateAndJoin();
        ScriptedHostAccepts();
        if (Form2()) Form2()->AcceptanceTick();
        QApplication::processEvents();
    }
    // Runs the session's receive tick for `seconds` of the hand-moved clock,
    // while the radar window is up.
    void RunReceiveTicks(int seconds) {
        for (int i = 0; i < seconds * 10 && Form1(); ++i) {
            clock += std::chrono::milliseconds(100);
            flow->ReceiveTick();
        }
    }

    ProgramState state;
    std::chrono::milliseconds clock{1'000'000};
    bool scripted = false;
    InProcessSessionHub hub{100};
    std::int32_t host = 0;
    RecordingMessageBoxes boxes;
    PlayObjects play{[this]() -> std::unique_ptr<SessionTransport> {
        if (scripted) {
            return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes(
                [this] { return std::make_unique<InProcessTransport>(hub, kDemoConnectionName); }));
        }
        return ProgramSessionObjects(state.Area, [this] { return clock; })();
    }};
    std::unique_ptr<CountingFlow> flow = std::make_unique<CountingFlow>(state, play, boxes, "");
};

}  // namespace tarnwick::testing
