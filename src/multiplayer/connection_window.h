#pragma once
// The connection window: the user picks a connection type, searches for
// sessions and joins one under a nickname, then the window waits for the
// session's acceptance. All of it is SessionConnection's work; the window
// maps its controls and timers onto it and shows what it holds. A search or a
// join under way moves on from a step timer, and the connection type's
// question is a dialog that does not hold the event loop, so the window keeps
// painting and answering meanwhile.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_boxes.h"
#include "multiplayer/play_objects.h"
#include "state/session_state.h"

class QInputDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace tarnwick {

// Kept out of this header: its status texts share names with the builder's.
class SessionConnection;
struct ConnectionOutcome;

class ConnectionWindow : public QWidget {
    Q_OBJECT
   public:
    // The load runs at once: fresh session objects and the connection types.
    ConnectionWindow(SessionState& session, PlayObjects& play, MessageBoxes& boxes,
                     QWidget* parent = nullptr);
    ~ConnectionWindow() override;

    // The timers' ticks (public so tests need not wait): Timer1 waits for the
    // session's answer, Timer2 repeats the join request, the step timer moves
    // a search or a join on.
    void AcceptanceTick();
    void JoinRepeatTick();
    void StepTick();

    // Does for the user what picking this connection type and "Locate
    // Session" would, and picks the first session found, so that joining it
    // is one click. Nothing happens when the type is not offered.
    void LocateWith(const std::string& connectionType);

   signals:
    // The session accepted the join: the radar window is to open. The window
    // closes itself right after.
    void Accepted();
    // Closed before a join was accepted: the program is to end.
    void EndProgramRequested();

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    void OnConnectionTypeClicked();
    void OnLocateClicked();
    void OnJoinClicked();
    // Shows what the connection holds, then its messages, then acts on it.
    void Finish(const ConnectionOutcome& outcome);
    void ShowState();
    // What the connection type asks before it connects (the host's address,
    // say), in a dialog whose answer comes back through its signal.
    void AskUser(const ProviderQuestion& question);
    // Closes the dialog of a question the connection no longer waits for.
    void DropQuestion();
    void AddFileBrowser(QInputDialog* dialog, const QString& filter);

    std::unique_ptr<SessionConnection> connection_;
    MessageBoxes& boxes_;
    std::vector<std::string> shownSessions_;
    // Select the first session a search under way finds.
    bool pickFirstSession_ = false;

    QListWidget* connectionTypeList_;
    QPushButton* locateButton_;
    QListWidget* sessionList_;
    QLineEdit* nicknameEdit_;
    QPushButton* joinButton_;
    QPushButton* exitButton_;
    QLabel* statusLabel_;
    QLabel* routerStatus_;
    QLabel* searchNote_;
    QTimer* acceptanceTimer_;
    QTimer* joinRepeatTimer_;
    QTimer* stepTimer_;
    QPointer<QInputDialog> questionDialog_;
};

// The window's, its controls', its timers' and its question's object names,
// by which tests find them.
inline constexpr char kConnectionWindowName[] = "Form2";
inline constexpr char kConnectionTypesFrameName[] = "Frame1";
inline constexpr char kConnectionTypesLabelName[] = "Label1";
inline constexpr char kConnectionTypeListName[] = "List1";
inline constexpr char kLocateButtonName[] = "Command1";
inline constexpr char kSessionsFrameName[] = "Frame2";
inline constexpr char kSessionsLabelName[] = "Label2";
inline constexpr char kSessionListName[] = "List2";
inline constexpr char kNicknameLabelName[] = "Label3";
inline constexpr char kNicknameEditName[] = "Text1";
inline constexpr char kJoinButtonName[] = "Command2";
inline constexpr char kConnectionStatusCaptionLabelName[] = "Label4";
inline constexpr char kConnectionStatusLabelName[] = "Label5";
inline constexpr char kRouterStatusLabelName[] = "RouterStatus";
inline constexpr char kConnectionExitButtonName[] = "Command3";
inline constexpr char kSearchNoteLabelName[] = "SearchNote";
inline constexpr char kAcceptanceTimerName[] = "Timer1";
inline constexpr char kJoinRepeatTimerName[] = "Timer2";
inline constexpr char kStepTimerName[] = "StepTimer";
inline constexpr char kOpenRouterPortsCheckName[] = "OpenRouterPorts";
inline constexpr char kBrowseButtonName[] = "BrowseButton";
inline constexpr char kBrowseDialogName[] = "BrowseDialog";

}  // namespace tarnwick
