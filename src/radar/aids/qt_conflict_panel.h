#pragma once
// The conflict alert's list on the scope: a small panel in the picture's top
// right corner, one line per alert (the newest first), red while the pair is
// in conflict and grey once clear, hidden while there is none. The pointer
// passes through it to the picture.
#include <QLabel>
#include <chrono>
#include <functional>
#include <vector>

#include "traffic/conflict_watch.h"

namespace tarnwick {

class ConflictPanel : public QLabel {
    Q_OBJECT
   public:
    explicit ConflictPanel(QWidget* picture);

    // The list at the session's time; with `sound`, the alert sound plays once.
    void ShowAlerts(const std::vector<ConflictAlert>& alerts, std::chrono::milliseconds now, bool sound);

    // What plays the sound of a new alert: the system's alert sound, unless
    // a test counts instead.
    std::function<void()> Sound;

   protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

   private:
    void KeepInCorner();
};

// The panel's object name, by which tests find it.
inline constexpr char kConflictPanelName[] = "conflictAlerts";

}  // namespace tarnwick
