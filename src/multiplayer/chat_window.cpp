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
      chatLog_(new QPlainTextEdit(this)),
      playerList_(new QListWidget(this)),
      messageEdit_(new QLineEdit(this)),
      sendButton_(new QPushButton("Send", this)),
      hideButton_(new QPushButton("Hide this window", this)) {
    setObjectName(kChatWindowName);
    setWindowTitle("Chat Window");

    chatLog_->setObjectName(kChatLogName);
    chatLog_->setReadOnly(true);
    // A long session's log stays cheap to extend: lines are only ever added.
    chatLog_->setUndoRedoEnabled(false);
    chatLog_->appendPlainText(FromAnsi(ChatBanner()));
    playerList_->setObjectName(kChatPlayerListName);
    playerList_->setSelectionMode(QAbstractItemView::NoSelection);
    messageEdit_->setObjectName(kChatMessageEditName);
    // A hint rather than text, so that Send never sends it by mistake.
    messageEdit_->setPlaceholderText(FromAnsi(kChatPlaceholder));
    sendButton_->setObjectName(kChatSendButtonName);
    hideButton_->setObjectName(kChatHideButtonName);

    auto* top = new QHBoxLayout;
    top->addWidget(chatLog_, 3);
    top->addWidget(playerList_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(messageEdit_, 1);
    bottom->addWidget(sendButton_);
    bottom->addWidget(hideButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(560, 300);

    connect(sendButton_, &QPushButton::clicked, this, &ChatWindow::Send);
    connect(messageEdit_, &QLineEdit::returnPressed, this, &ChatWindow::Send);
    // Hidden, the window keeps its log and list until the session ends.
    connect(hideButton_, &QPushButton::clicked, this, &QWidget::hide);
}

void ChatWindow::AppendLine(const std::string& line) { chatLog_->appendPlainText(FromAnsi(line)); }

void ChatWindow::RefreshChatPlayerList() {
    playerList_->clear();
    for (const std::string& name : ChatPlayerNames(session_.Traffic)) playerList_->addItem(FromAnsi(name));
    playerList_->repaint();
}

void ChatWindow::Send() {
    if (play_.Exists()) {
        const ChatSendResult sent =
            SendChat(play_.Play(), session_.OwnPlayerId, messageEdit_->text().toStdString());
        if (sent.LogLine) AppendLine(*sent.LogLine);
    }
    messageEdit_->clear();
}

}  // namespace tarnwick
