#pragma once
// The chat window: the session's text lines and who is in the traffic table.
// The receive tick's lines and list refreshes reach it through the window
// flow; sending goes to the session directly.
#include <QWidget>
#include <string>

#include "multiplayer/play_objects.h"
#include "state/session_state.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick {

class ChatWindow : public QWidget {
    Q_OBJECT
   public:
    // Reads the own player id and the traffic table; sends through `play`.
    ChatWindow(const SessionState& session, PlayObjects& play, QWidget* parent = nullptr);

    // Adds one line ("name: text", Windows-1252) at the end of the log.
    void AppendLine(const std::string& line);
    // Fills the player list with the traffic table's names, in table order.
    void RefreshChatPlayerList();

   private:
    void Send();

    const SessionState& session_;
    PlayObjects& play_;

    QPlainTextEdit* chatLog_;
    QListWidget* playerList_;
    QLineEdit* messageEdit_;
    QPushButton* sendButton_;
    QPushButton* hideButton_;
};

// The window's and its controls' object names, by which tests find them.
inline constexpr char kChatWindowName[] = "Form6";
inline constexpr char kChatLogName[] = "RichTextBox1";
inline constexpr char kChatPlayerListName[] = "List1";
inline constexpr char kChatMessageEditName[] = "Text1";
inline constexpr char kChatSendButtonName[] = "Command1";
inline constexpr char kChatHideButtonName[] = "Command2";

}  // namespace tarnwick
