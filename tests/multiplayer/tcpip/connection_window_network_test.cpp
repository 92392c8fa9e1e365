// The connection window over TCP/IP against a host in this process, on the
// program's own event loop: a 10 Hz timer keeps ticking, never inside a
// nested event loop, through a search and a join whether the host answers
// late or never, and the window closes at once in the middle of either.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "multiplayer/connection_window.h"
#include "multiplayer/tcpip/host_resolver_stub.h"
#include "multiplayer/tcpip/loopback_host.h"
#include "multiplayer/tcpip/port_mapper_stub.h"
#include "multiplayer/tcpip/qt_directplay_driver.h"
#include "multiplayer/tcpip/qt_port_mapping_setting.h"
#include "support/recording_message_boxes.h"

namespace tarnwick {
namespace {

using directplay::Millis;

class NeverBlockingConnectionTest : public ::testing::Test {
   protected:
    NeverBlockingConnectionTest() {
        QObject::connect(&hostTurns_, &QTimer::timeout, [this] {
            if (hostAnswers) host.Poll();
        });
        hostTurns_.start(2);
        QObject::connect(&heartbeat_, &QTimer::timeout, [this] {
            ++beats;
            deepestLoop = std::max(deepestLoop, QThread::currentThread()->loopLevel());
            if (onBeat) onBeat();
        });
        heartbeat_.start(100);
        OpenWindow();
    }
    ~NeverBlockingConnectionTest() override { delete window.data(); }

    void OpenWindow() {
        window = new ConnectionWindow(session, play, boxes);
        QObject::connect(window, &ConnectionWindow::EndProgramRequested, [this] { ++endRequests; });
        window->show();
    }

    // Runs the event loop until `done` or the sockets' deadline.
    bool RunUntil(const std::function<bool()>& done) {
        for (const auto end = testing::SocketDeadlineFromNow(); !done();) {
            if (std::chrono::steady_clock::now() >= end) return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return true;
    }
    void RunBeats(int count) {
        const int until = beats + count;
        RunUntil([&] { return beats >= until; });
    }

    template <typename T>
    T* Control(const char* name) {
        T* found = window ? window->findChild<T*>(name) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Status() { return Control<QLabel>(kConnectionStatusLabelName)->text(); }
    QInputDialog* OpenQuestion() {
        QInputDialog* dialog = window->findChild<QInputDialog*>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }
    // "Locate Session" over TCP/IP with the host's address typed at the prompt.
    void Locate(const QString& address) {
        Control<QListWidget>(kConnectionTypeListName)->setCurrentRow(0);
        Control<QPushButton>(kLocateButtonName)->click();
        QInputDialog* question = OpenQuestion();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->windowModality(), Qt::WindowModal);
        question->setTextValue(address);
        question->accept();
    }
    void Join() {
        Control<QListWidget>(kSessionListName)->setCurrentRow(0);
        Control<QPushButton>(kJoinButtonName)->click();
    }
    bool HostGotJoinRequest() {
        const auto delivered = host.Events<directplay::action::Deliver>();
        return std::ranges::any_of(
            delivered, [](const auto& message) { return message.payload == Encode(MsgJoinRequest{}); });
    }

    testing::LoopbackHost host;
    // Cleared, the host reads nothing and answers no one (its sockets stay open).
    bool hostAnswers = true;
    std::shared_ptr<testing::HostResolverStub> resolver = std::make_shared<testing::HostResolverStub>();
    // A home router to ask, when set before the search.
    std::shared_ptr<testing::PortMapperStub> router;
    SessionState session;
    testing::RecordingMessageBoxes boxes;
    PlayObjects play{[this] {
        return std::make_unique<ServiceProviderSet>(ProgramConnectionTypes({}, [this] {
            DirectPlayTransportOptions options = testing::TransportOptionsFor(host);
            options.Client.enumeration_time = Millis{1000};
            // Only the test's clock ends these waits.
            options.Client.reply_timeout = options.Client.name_table_timeout = Millis{20000};
            options.Driver = [](directplay::SessionPeer& peer, const directplay::Clock& clock) {
                return std::make_unique<QtDirectPlayDriver>(peer, clock, directplay::kLoopbackAddress);
            };
            options.Resolver = resolver;
            if (router) {
                options.Mapper = router;
                options.MappingSetting = std::make_shared<QtPortMappingSetting>();
                options.NeedsRouter = [](std::uint32_t) { return true; };  // as if the host were far away
            }
            return std::make_unique<DirectPlayTransport>(std::move(options));
        }));
    }};
    QPointer<ConnectionWindow> window;
    int beats = 0;
    int deepestLoop = 0;
    int endRequests = 0;
    std::function<void()> onBeat;

   private:
    QTimer hostTurns_;
    QTimer heartbeat_;
};

TEST_F(NeverBlockingConnectionTest, ASearchAndAJoinAgainstAHostThatAnswersLateKeepTheWindowTicking) {
    hostAnswers = false;
    Locate("fs-host");
    EXPECT_EQ(Status(), "Looking for FS Server...");
    EXPECT_FALSE(Control<QPushButton>(kJoinButtonName)->isEnabled()) << "a join would lose the search";
    RunBeats(3);
    EXPECT_EQ(resolver->asked, (std::vector<std::string>{"fs-host"}));
    EXPECT_EQ(Status(), "Looking for FS Server...") << "the name server takes its time";
    resolver->Answer("fs-host", directplay::kLoopbackAddress);
    RunBeats(3);
    hostAnswers = true;
    ASSERT_TRUE(RunUntil([&] { return Status() == "Done"; }));
    ASSERT_EQ(Control<QListWidget>(kSessionListName)->count(), 1);
    EXPECT_EQ(Control<QListWidget>(kSessionListName)->item(0)->text(), "Loopback (1/16)");

    hostAnswers = false;
    Join();
    EXPECT_EQ(Status(), "Connecting...") << "the click is back before the host has answered";
    EXPECT_FALSE(Control<QPushButton>(kJoinButtonName)->isEnabled());
    RunBeats(3);
    hostAnswers = true;
    ASSERT_TRUE(RunUntil([&] { return HostGotJoinRequest(); }));
    EXPECT_TRUE(Control<QTimer>(kAcceptanceTimerName)->isActive()) << "waiting for acceptance";
    EXPECT_TRUE(Control<QPushButton>(kJoinButtonName)->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_GE(beats, 6);
    EXPECT_EQ(deepestLoop, 0) << "no tick ran inside a nested event loop";
}

TEST_F(NeverBlockingConnectionTest, AHostThatNeverAnswersEndsTheSearchAndTheJoinOnTime) {
    hostAnswers = false;
    Locate("127.0.0.1");
    const int searching = beats;
    ASSERT_TRUE(RunUntil([&] { return Status() == "Disconnected"; }));
    EXPECT_GE(beats - searching, 5) << "the search took its second, the window ticking";
    EXPECT_TRUE(boxes.shown.empty()) << "finding nothing is not an error";
    EXPECT_TRUE(Control<QPushButton>(kLocateButtonName)->isEnabled());
    const QLabel* note = Control<QLabel>(kSearchNoteLabelName);
    EXPECT_TRUE(note->isVisible()) << "but the status line says it, and what to check";
    EXPECT_TRUE(
        note->text().startsWith("No session found at 127.0.0.1. Check that the address is right, that "
                                "FS2002 hosts a session there and that no firewall blocks UDP port"))
        << note->text().toStdString();

    // A host that answers the search, then falls silent.
    hostAnswers = true;
    Locate("127.0.0.1");
    ASSERT_TRUE(RunUntil([&] { return Status() == "Done"; }));
    EXPECT_FALSE(note->isVisible());
    hostAnswers = false;
    Join();
    RunBeats(3);
    EXPECT_EQ(Status(), "Connecting...");
    host.clock->Jump(Millis{41000});
    ASSERT_TRUE(RunUntil([&] { return !boxes.shown.empty(); }));
    EXPECT_TRUE(boxes.shown[0].Text.starts_with("Failed to join game. Try to locate session again.\n"))
        << boxes.shown[0].Text;
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_EQ(deepestLoop, 0);
}

TEST_F(NeverBlockingConnectionTest, ExitDuringASearchOrAJoinEndsTheProgramAtOnce) {
    Locate("slow-host");  // the name server never answers
    RunBeats(2);
    Control<QPushButton>(kConnectionExitButtonName)->click();
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(play.Exists()) << "the session objects are released";
    ASSERT_TRUE(RunUntil([&] { return window.isNull(); }));

    OpenWindow();
    Locate("127.0.0.1");
    ASSERT_TRUE(RunUntil([&] { return Status() == "Done"; }));
    hostAnswers = false;
    Join();
    // Pressed from a tick, as a user's click comes from the event loop.
    onBeat = [this] {
        if (window && beats % 3 == 0) window->close();
    };
    ASSERT_TRUE(RunUntil([&] { return window.isNull(); }));
    EXPECT_EQ(endRequests, 2);
    EXPECT_FALSE(play.Exists());
    EXPECT_EQ(deepestLoop, 0);
}

TEST_F(NeverBlockingConnectionTest,
       TheAddressPromptsBoxChoosesWhetherTheRouterIsAskedAndTheStatusSaysWhatItDid) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    PortMappingResult opened;
    opened.RouterFound = opened.Mapped = true;
    router = std::make_shared<testing::PortMapperStub>(std::deque<PortMappingResult>{opened});
    const auto locateWithBox = [&](bool expected, bool chosen) {
        Control<QListWidget>(kConnectionTypeListName)->setCurrentRow(0);
        Control<QPushButton>(kLocateButtonName)->click();
        QInputDialog* question = OpenQuestion();
        ASSERT_NE(question, nullptr);
        auto* box = question->findChild<QCheckBox*>(kOpenRouterPortsCheckName);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isChecked(), expected) << "on at first, then as the user left it";
        box->setChecked(chosen);
        question->setTextValue("127.0.0.1");
        question->accept();
        ASSERT_TRUE(RunUntil([&] { return Status() == "Done"; }));
    };

    locateWithBox(true, false);
    EXPECT_TRUE(router->maps.empty());
    EXPECT_EQ(Control<QLabel>(kRouterStatusLabelName)->text(), "Router ports not asked for");
    locateWithBox(false, true);
    ASSERT_EQ(router->maps.size(), 1u);
    EXPECT_EQ(Control<QLabel>(kRouterStatusLabelName)->text(), QString("Router ports opened (TCP %1, UDP %2)")
                                                                   .arg(router->maps[0].TcpPort)
                                                                   .arg(router->maps[0].UdpPort));
    EXPECT_EQ(Status(), "Done") << "the window's own status stays as it was";
}

}  // namespace
}  // namespace tarnwick
