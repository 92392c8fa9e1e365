#pragma once
// The radar window: the scope picture with its zoom and centre buttons, the
// periodic redraw and the Options menu. The view and the drawing are core
// logic; this window owns their state and drives them.
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "geo/declination_grid.h"
#include "radar/hover_target.h"
#include "radar/radar_view.h"
#include "state/chosen_area.h"
#include "state/display_options.h"
#include "state/session_state.h"

namespace tarnwick {

// The scope picture: a black surface that keeps what was drawn on it until
// it is cleared, like a picture box with a persistent image.
class ScopePicture : public QWidget {
    Q_OBJECT
   public:
    explicit ScopePicture(QWidget* parent = nullptr);

    QImage& Image() { return image_; }
    void ClearImage();

    std::function<void(int notches)> OnWheel;
    std::function<void()> OnResized;

   protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

   private:
    QImage image_;
    int wheelRemainder_ = 0;
};

class RadarWindow : public QMainWindow {
    Q_OBJECT
   public:
    // The load runs at once when a session is joined.
    RadarWindow(const ChosenArea& area, DisplayOptions& display, const DeclinationGrid& grid,
                SessionState& session, QWidget* parent = nullptr);

    // Caption, view on the area's centre, display switches and timers.
    void Load();

    const RadarView& View() const { return view_; }
    ScopePicture* Picture1() { return picture1_; }

    // Moves the view's centre to a longitude (x) and latitude (y) and redraws.
    void Center_Airport(double airpt_loc_x, double airpt_loc_y);
    // A new area chosen while the scope is up: caption, unlock, recentre.
    void TakeBackArea();

    // Another window takes over: the scope freezes until it gives it back.
    void Lock();
    void Unlock();

    // One periodic redraw: clear, background layers, traffic.
    void RedrawNow();

   protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

   signals:
    void PreferencesRequested();
    // The window is closing: the windows it is locked for go with it.
    void Closed();

   private:
    void ZoomButton(bool zoomIn);
    void PictureResized();
    void StopTimers();
    void StartTimers();
    void DrawPass();
    QString Caption() const;

    const ChosenArea& area_;
    DisplayOptions& display_;
    const DeclinationGrid& grid_;
    SessionState& session_;
    bool loaded_ = false;
    bool locked_ = false;
    RadarView view_;
    HoverTarget hover_;

    ScopePicture* picture1_;
    QPushButton* command5_;
    QPushButton* command2_;
    QPushButton* command6_;
    QPushButton* command3_;
    QLabel* label6_;
    QLabel* label7_;
    QTimer* timer2_;
    QTimer* timer4_;
};

}  // namespace tarnwick
