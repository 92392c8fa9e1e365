#include "multiplayer/connection_window.h"

#include <algorithm>
#include <utility>

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/ansi.h"
#include "multiplayer/session_connection.h"
#include "multiplayer/tcpip/qt_port_mapping_setting.h"

namespace tarnwick {
namespace {

constexpr int kAcceptanceWaitMs = 1000;
constexpr int kJoinRepeatMs = 30000;
// How often a search or a join under way is looked at: the network's answers
// are taken in as they come, so this only adds to the time a stage ends.
constexpr int kStepMs = 50;
// A question whose answer is a file's path shows this much of it.
constexpr int kFileQuestionWidth = 640;

QString FromAnsi(const std::string& text) { return QString::fromStdString(AnsiToUtf8(text)); }

QLabel* MakeLabel(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QTimer* MakeTimer(const char* name, int intervalMs, QObject* parent) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

std::optional<int> SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return list->row(selected.front());
}

}  // namespace

ConnectionWindow::ConnectionWindow(SessionState& session, PlayObjects& play, MessageBoxes& boxes,
                                   QWidget* parent)
    : QWidget(parent),
      connection_(std::make_unique<SessionConnection>(session, play)),
      boxes_(boxes),
      connectionTypeList_(new QListWidget(this)),
      locateButton_(MakeButton(kLocateButtonName, "Locate Session", this)),
      sessionList_(new QListWidget(this)),
      nicknameEdit_(new QLineEdit(kDefaultNickname, this)),
      joinButton_(MakeButton(kJoinButtonName, "Join Session", this)),
      exitButton_(MakeButton(kConnectionExitButtonName, "Exit", this)),
      statusLabel_(MakeLabel(kConnectionStatusLabelName, FromAnsi(kStatusNone), this)),
      routerStatus_(MakeLabel(kRouterStatusLabelName, {}, this)),
      searchNote_(MakeLabel(kSearchNoteLabelName, {}, this)),
      acceptanceTimer_(MakeTimer(kAcceptanceTimerName, kAcceptanceWaitMs, this)),
      joinRepeatTimer_(MakeTimer(kJoinRepeatTimerName, kJoinRepeatMs, this)),
      stepTimer_(MakeTimer(kStepTimerName, kStepMs, this)) {
    setObjectName(kConnectionWindowName);
    setWindowTitle("Connection");
    setAttribute(Qt::WA_DeleteOnClose);
    connectionTypeList_->setObjectName(kConnectionTypeListName);
    sessionList_->setObjectName(kSessionListName);
    nicknameEdit_->setObjectName(kNicknameEditName);

    auto* frame1 = new QGroupBox("Connections Types", this);
    frame1->setObjectName(kConnectionTypesFrameName);
    auto* types = new QVBoxLayout(frame1);
    types->addWidget(MakeLabel(kConnectionTypesLabelName, "Avaible Connections Types:", frame1));
    types->addWidget(connectionTypeList_);
    types->addWidget(locateButton_);

    auto* frame2 = new QGroupBox("Avaible FS2002 Sessions", this);
    frame2->setObjectName(kSessionsFrameName);
    auto* sessions = new QVBoxLayout(frame2);
    sessions->addWidget(MakeLabel(kSessionsLabelName, "Sessions:", frame2));
    sessions->addWidget(sessionList_);
    auto* nickname = new QHBoxLayout;
    nickname->addWidget(MakeLabel(kNicknameLabelName, "Nickname:", frame2));
    nickname->addWidget(nicknameEdit_, 1);
    sessions->addLayout(nickname);
    sessions->addWidget(joinButton_);

    auto* status = new QHBoxLayout;
    status->addWidget(MakeLabel(kConnectionStatusCaptionLabelName, "STATUS:", this));
    status->addWidget(statusLabel_, 1);
    status->addWidget(routerStatus_);
    status->addWidget(exitButton_);

    auto* layout = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    frames->addWidget(frame1);
    frames->addWidget(frame2);
    layout->addLayout(frames, 1);
    layout->addLayout(status);
    // A search that found nothing says here where it looked and what to check.
    searchNote_->setWordWrap(true);
    searchNote_->hide();
    layout->addWidget(searchNote_);
    resize(620, 320);

    // A status change is shown at once.
    connection_->OnStatusChanged = [this](const std::string&) {
        ShowState();
        statusLabel_->repaint();
    };

    connection_->Load();
    for (const ConnectionTypeLine& line : connection_->ConnectionTypeLines())
        connectionTypeList_->addItem(FromAnsi(line.Name));
    ShowState();

    // Selection, not the current row: a list that takes the focus makes its
    // first row current without anyone choosing it.
    connect(connectionTypeList_, &QListWidget::itemSelectionChanged, this,
            &ConnectionWindow::OnConnectionTypeClicked);
    connect(locateButton_, &QPushButton::clicked, this, &ConnectionWindow::OnLocateClicked);
    connect(joinButton_, &QPushButton::clicked, this, &ConnectionWindow::OnJoinClicked);
    connect(exitButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(acceptanceTimer_, &QTimer::timeout, this, &ConnectionWindow::AcceptanceTick);
    connect(joinRepeatTimer_, &QTimer::timeout, this, &ConnectionWindow::JoinRepeatTick);
    connect(stepTimer_, &QTimer::timeout, this, &ConnectionWindow::StepTick);
}

// An open question's dialog goes first: its answer has no one to go to.
ConnectionWindow::~ConnectionWindow() { delete questionDialog_.data(); }

void ConnectionWindow::ShowState() {
    statusLabel_->setText(FromAnsi(connection_->Status()));
    routerStatus_->setText(FromAnsi(connection_->RouterStatus()));
    searchNote_->setText(FromAnsi(connection_->SearchNote()));
    searchNote_->setVisible(!connection_->SearchNote().empty());
    connectionTypeList_->setEnabled(connection_->TypeChoiceEnabled());
    locateButton_->setEnabled(connection_->TypeChoiceEnabled());
    joinButton_->setEnabled(connection_->JoinEnabled());
    // Refilled only when the sessions changed, so that a selection survives.
    if (connection_->SessionLines() != shownSessions_) {
        shownSessions_ = connection_->SessionLines();
        sessionList_->clear();
        for (const std::string& line : shownSessions_) sessionList_->addItem(FromAnsi(line));
    }
    if (connection_->WaitTimersEnabled()) {
        if (!acceptanceTimer_->isActive()) acceptanceTimer_->start();
        if (!joinRepeatTimer_->isActive()) joinRepeatTimer_->start();
    } else {
        acceptanceTimer_->stop();
        joinRepeatTimer_->stop();
    }
    if (!connection_->Stepping()) {
        stepTimer_->stop();
    } else if (!stepTimer_->isActive()) {
        stepTimer_->start();
    }
    if (!connection_->Question()) DropQuestion();
}

void ConnectionWindow::Finish(const ConnectionOutcome& outcome) {
    ShowState();
    if (const auto& question = connection_->Question(); question && !questionDialog_) AskUser(*question);
    if (pickFirstSession_ && !connection_->Stepping() && !connection_->Question()) {
        pickFirstSession_ = false;
        if (sessionList_->count() > 0) sessionList_->setCurrentRow(0);
    }
    for (const UserMessage& message : outcome.Messages) boxes_.Show(AnsiToUtf8(message.Text), message.Icon);
    if (outcome.OpenRadar) {
        emit Accepted();
        close();
    }
    if (outcome.EndProgram) emit EndProgramRequested();
}

void ConnectionWindow::OnConnectionTypeClicked() {
    if (!SelectedRow(connectionTypeList_)) return;
    connection_->ConnectionTypeClicked();
    ShowState();
}

void ConnectionWindow::OnLocateClicked() {
    Finish(connection_->LocateSession(SelectedRow(connectionTypeList_)));
}

void ConnectionWindow::OnJoinClicked() {
    Finish(connection_->JoinSession(SelectedRow(sessionList_), nicknameEdit_->text().toStdString()));
}

void ConnectionWindow::LocateWith(const std::string& connectionType) {
    const std::vector<ConnectionTypeLine>& types = connection_->ConnectionTypeLines();
    const auto type = std::ranges::find(types, connectionType, &ConnectionTypeLine::Name);
    if (type == types.end() || !connection_->TypeChoiceEnabled()) return;
    connectionTypeList_->setCurrentRow(static_cast<int>(type - types.begin()));
    pickFirstSession_ = true;
    OnLocateClicked();
}

void ConnectionWindow::AcceptanceTick() { Finish(connection_->WaitForAcceptance()); }

void ConnectionWindow::JoinRepeatTick() { connection_->RepeatJoinRequest(); }

void ConnectionWindow::StepTick() { Finish(connection_->Step()); }

void ConnectionWindow::closeEvent(QCloseEvent* event) {
    // After the acceptance the radar window has taken over and nothing ends.
    const ConnectionOutcome outcome = connection_->Exit();
    ShowState();
    event->accept();
    if (outcome.EndProgram) emit EndProgramRequested();
}

void ConnectionWindow::AskUser(const ProviderQuestion& question) {
    auto* dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QListWidgetItem* type = connectionTypeList_->currentItem();
    dialog->setWindowTitle(type ? type->text() : windowTitle());
    dialog->setLabelText(QString::fromStdString(question.Text));
    if (question.Suggestions.empty()) {
        dialog->setTextValue(QString::fromStdString(question.DefaultAnswer));
    } else {
        // An editable list: one of the answers given before, or a new one.
        QStringList items;
        for (const std::string& suggestion : question.Suggestions)
            items << QString::fromStdString(suggestion);
        const QString first = QString::fromStdString(question.DefaultAnswer);
        if (!first.isEmpty() && !items.contains(first)) items.prepend(first);
        dialog->setComboBoxItems(items);
        dialog->setComboBoxEditable(true);
    }
    QCheckBox* openRouterPorts = nullptr;
    if (question.OpenRouterPorts) {
        openRouterPorts = new QCheckBox("Open the ports on my router (UPnP)", dialog);
        openRouterPorts->setObjectName(kOpenRouterPortsCheckName);
        openRouterPorts->setChecked(*question.OpenRouterPorts);
    }
    connect(dialog, &QDialog::finished, this, [this, dialog, openRouterPorts](int result) {
        std::optional<std::string> answer;
        if (result == QDialog::Accepted) answer = dialog->textValue().toStdString();
        if (result == QDialog::Accepted && openRouterPorts)
            QtPortMappingSetting().SetEnabled(openRouterPorts->isChecked());
        questionDialog_ = nullptr;
        Finish(connection_->Answer(std::move(answer)));
    });
    questionDialog_ = dialog;
    dialog->open();  // window-modal, and back at once
    // The dialog lays itself out when shown: the box goes above its buttons.
    if (auto* box = qobject_cast<QBoxLayout*>(dialog->layout()); box && openRouterPorts)
        box->insertWidget(box->count() - 1, openRouterPorts);
    if (!question.FileFilter.empty()) AddFileBrowser(dialog, QString::fromStdString(question.FileFilter));
}

// "Browse..." beside the answer: a file dialog over the question's, whose
// choice becomes the answer. The question is made wide enough for a path.
void ConnectionWindow::AddFileBrowser(QInputDialog* dialog, const QString& filter) {
    auto* box = qobject_cast<QBoxLayout*>(dialog->layout());
    auto* answer = dialog->findChild<QLineEdit*>();
    const int index = box && answer ? box->indexOf(answer) : -1;
    if (index < 0) return;
    auto* browse = new QPushButton("Browse...", dialog);
    browse->setObjectName(kBrowseButtonName);
    // Return after browsing accepts the answer rather than browsing again.
    browse->setAutoDefault(false);
    box->removeWidget(answer);
    auto* row = new QHBoxLayout;
    row->addWidget(answer, 1);
    row->addWidget(browse);
    box->insertLayout(index, row);
    dialog->resize(std::max(dialog->width(), kFileQuestionWidth), dialog->height());
    connect(browse, &QPushButton::clicked, dialog, [dialog, answer, filter] {
        const QFileInfo given(dialog->textValue());
        const QString folder = given.absoluteDir().exists() ? given.absolutePath() : QDir::currentPath();
        auto* files = new QFileDialog(dialog, dialog->windowTitle(), folder, filter);
        files->setObjectName(kBrowseDialogName);
        files->setAttribute(Qt::WA_DeleteOnClose);
        files->setFileMode(QFileDialog::ExistingFile);
        files->setOption(QFileDialog::DontUseNativeDialog);
        if (given.isFile()) files->selectFile(given.absoluteFilePath());
        connect(files, &QFileDialog::fileSelected, dialog, [dialog, answer](const QString& file) {
            dialog->setTextValue(file);
            answer->setFocus();
        });
        files->open();
    });
}

void ConnectionWindow::DropQuestion() {
    if (!questionDialog_) return;
    QInputDialog* dialog = std::exchange(questionDialog_, nullptr);
    dialog->disconnect(this);
    dialog->close();
}

}  // namespace tarnwick
