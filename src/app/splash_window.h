#pragma once
// The splash window: shown for three seconds, then it decides between the
// first-run path and the normal start.
#include <QTimer>
#include <QWidget>

namespace tarnwick {

class WindowFlow;

class SplashWindow : public QWidget {
    Q_OBJECT
   public:
    explicit SplashWindow(WindowFlow& flow, QWidget* parent = nullptr);

    QTimer* Timer1() { return timer1_; }

   private:
    void OnTimer1();

    WindowFlow& flow_;
    QTimer* timer1_;
};

}  // namespace tarnwick
