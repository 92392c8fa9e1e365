#include "multiplayer/chat_window.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ansi.h"
#include "multiplayer/chat.h"

namespace tarnwick {
namespace {

QString FromAnsi(const std::string& text) { return QString::fromStdString(AnsiToUtf8(text)); }

}  // namespace

ChatWindow::ChatWindow(const SessionState& session, PlayObjects& play, QWidget* parent)
    : QWidget(parent),
      session_(session),
      play_(play),
      richTextBox1_(new QPlainTextEdit(this)),
      list1_(new QListWidget(this)),
      text1_(new QLineEdit(this)),
      command1_(new QPushButton("Send", this)),
      command2_(new QPushButton("Hide this window", this)) {
    setObjectName("Form6");
    setWindowTitle("Chat Window");

    richTextBox1_->setObjectName("RichTextBox1");
    richTextBox1_->setReadOnly(true);
    // A long session's log stays cheap to extend: lines are only ever added.
    richTextBox1_->setUndoRedoEnabled(false);
    richTextBox1_->appendPlainText(FromAnsi(ChatBanner()));
    list1_->setObjectName("List1");
    list1_->setSelectionMode(QAbstractItemView::NoSelection);
    text1_->setObjectName("Text1");
    // A hint rather than text, so that Send never sends it by mistake.
    text1_->setPlaceholderText(FromAnsi(kChatPlaceholder));
    command1_->setObjectName("Command1");
    command2_->setObjectName("Command2");

    auto* top = new QHBoxLayout;
    top->addWidget(richTextBox1_, 3);
    top->addWidget(list1_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(text1_, 1);
    bottom->addWidget(command1_);
    bottom->addWidget(command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(560, 300);

    connect(command1_, &QPushButton::clicked, this, &ChatWindow::Send);
    connect(text1_, &QLineEdit::returnPressed, this, &ChatWindow::Send);
    // Hidden, the window keeps its log and list until the session ends.
    connect(command2_, &QPushButton::clicked, this, &QWidget::hide);
}

void ChatWindow::AppendLine(const std::string& line) { richTextBox1_->appendPlainText(FromAnsi(line)); }

void ChatWindow::RefreshChatPlayerList() {
    list1_->clear();
    for (const std::string& name : ChatPlayerNames(session_.Traffic)) list1_->addItem(FromAnsi(name));
    list1_->repaint();
}

void ChatWindow::Send() {
    if (play_.Exists()) {
        const ChatSendResult sent =
            SendChat(play_.Play(), session_.OwnPlayerId, text1_->text().toStdString());
        if (sent.LogLine) AppendLine(*sent.LogLine);
    }
    text1_->clear();
}

}  // namespace tarnwick
