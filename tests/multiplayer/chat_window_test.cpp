#include "multiplayer/chat_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "base/program_name.h"
#include "multiplayer/session_fixture.h"

namespace tarnwick {
namespace {

using testing::SessionFixture;

struct ChatWindowTest : ::testing::Test {
    ChatWindowTest() {
        f.Connect();
        // Every change to the log is recorded: lines are added at its end,
        // never put in place of what was there.
        QObject::connect(Log()->document(), &QTextDocument::contentsChange,
                         [this](int, int removed, int) { removedChars += removed; });
    }
    QPlainTextEdit* Log() { return window.findChild<QPlainTextEdit*>(kChatLogName); }
    QLineEdit* Text1() { return window.findChild<QLineEdit*>(kChatMessageEditName); }
    void Click(const char* name) { window.findChild<QPushButton*>(name)->click(); }
    // What the host received as chat.
    std::vector<std::string> HostChat() {
        std::vector<std::string> texts;
        while (auto message = f.hub.Receive(f.host))
            texts.push_back(DecodeMessage<MsgChat>(message->Bytes).Text);
        return texts;
    }

    SessionFixture f;
    ChatWindow window{f.session, f.play};
    int removedChars = 0;
};

TEST_F(ChatWindowTest, SendAndEnterSendTheLineAndTheLogOnlyGrows) {
    EXPECT_EQ(Log()->toPlainText(), QString("[%1]").arg(kProgramName));
    HostChat();

    Text1()->setText("Hi");
    Click(kChatSendButtonName);
    EXPECT_TRUE(Text1()->text().isEmpty());
    // Enter in the text box does what the button does; a character the
    // session's code page lacks goes out, and is logged, as "?".
    Text1()->setText(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xE6\x97\xA5"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Text1(), &enter);
    EXPECT_TRUE(Text1()->text().isEmpty());
    EXPECT_EQ(HostChat(), (std::vector<std::string>{"Hi", "Gr\xFC\xDF \x80 ?"}));

    window.AppendLine("Host: Hello");
    EXPECT_EQ(Log()->toPlainText(),
              QString("[%1]").arg(kProgramName) +
                  QString::fromUtf8("\nATC Controller: Hi\n"
                                    "ATC Controller: Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC ?\n"
                                    "Host: Hello"));
    EXPECT_EQ(removedChars, 0);

    window.RefreshChatPlayerList();
    ASSERT_EQ(window.findChild<QListWidget*>(kChatPlayerListName)->count(), 1);
    EXPECT_EQ(window.findChild<QListWidget*>(kChatPlayerListName)->item(0)->text(), "ATC Controller");

    window.show();
    Click(kChatHideButtonName);
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_TRUE(Log()->toPlainText().endsWith("Host: Hello")) << "hiding keeps the log";
}

TEST_F(ChatWindowTest, AFailedSendIsLoggedAndTheWindowStaysUsable) {
    f.hub.EndSession();
    Text1()->setText("Anyone?");
    Click(kChatSendButtonName);
    EXPECT_TRUE(Log()->toPlainText().endsWith("(The message was not sent: Anyone?)"));
    EXPECT_TRUE(Text1()->text().isEmpty());
    EXPECT_TRUE(window.findChild<QPushButton*>(kChatSendButtonName)->isEnabled());

    // Without session objects at all Send only empties the box.
    f.play.Release();
    Text1()->setText("Still there?");
    Click(kChatSendButtonName);
    EXPECT_TRUE(Text1()->text().isEmpty());
    EXPECT_TRUE(Log()->toPlainText().endsWith("(The message was not sent: Anyone?)"));
}

}  // namespace
}  // namespace tarnwick
