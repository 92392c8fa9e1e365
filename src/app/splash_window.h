#pragma once
// The splash window: shown for three seconds, then it decides between the
// first-run path and the normal start.
#include <QTimer>
#include <QWidget>
#include <string>

#include "app/startup.h"
#include "state/session_state.h"

namespace tarnwick {

class SplashWindow : public QWidget {
    Q_OBJECT
   public:
    SplashWindow(SettingsState& settings, SessionState& session, std::string workDirectory,
                 QWidget* parent = nullptr);

    QTimer* DecisionTimer() { return decisionTimer_; }

   signals:
    // The start-up decision is made and the splash window has closed.
    // `notice` is a message for the user (UTF-8), empty when there is none.
    void Decided(tarnwick::StartupPath path, const std::string& notice);

   private:
    void OnDecisionTimer();

    SettingsState& settings_;
    std::string workDirectory_;
    QTimer* decisionTimer_;
};

// The window's and its timer's object names, by which tests find them.
inline constexpr char kSplashWindowName[] = "Form8";
inline constexpr char kDecisionTimerName[] = "Timer1";

}  // namespace tarnwick
