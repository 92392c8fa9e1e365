#include "app/splash_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include "base/program_name.h"

namespace tarnwick {

SplashWindow::SplashWindow(SettingsState& settings, SessionState& session, std::string workDirectory,
                           QWidget* parent)
    : QWidget(parent, Qt::SplashScreen),
      settings_(settings),
      workDirectory_(std::move(workDirectory)),
      decisionTimer_(new QTimer(this)) {
    setObjectName(kSplashWindowName);
    setWindowTitle(kProgramName);
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet("background-color: black; color: rgb(0, 192, 0);");

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(kProgramTitleLine, this);
    QFont font = title->font();
    font.setPointSize(20);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel("Air traffic control radar for FS2002 multiplayer sessions", this);
    subtitle->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    resize(480, 200);

    // The window load clears the session flags.
    session.SessionConnected = false;
    session.TrafficEnabled = false;

    decisionTimer_->setObjectName(kDecisionTimerName);
    decisionTimer_->setInterval(3000);
    connect(decisionTimer_, &QTimer::timeout, this, &SplashWindow::OnDecisionTimer);
    decisionTimer_->start();
}

void SplashWindow::OnDecisionTimer() {
    if (decisionTimer_->interval() != 3000) return;
    decisionTimer_->stop();
    const StartupOutcome outcome = StartupDecision(settings_, workDirectory_);
    close();
    emit Decided(outcome.Path, outcome.SettingsProblem);
}

}  // namespace tarnwick
