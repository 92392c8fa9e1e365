#pragma once
// The preferences: the scope's eight display switches as check boxes. Changes
// take effect at once; the scope shows them at its next redraw.
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "app/program_state.h"

namespace tarnwick {

class RadarWindow;

class PreferencesWindow : public QWidget {
    Q_OBJECT
   public:
    // The radar window, locked by whoever opens this one, is given back when
    // it closes.
    PreferencesWindow(ProgramState& state, RadarWindow* radar, QWidget* parent = nullptr);

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    void AddSwitch(const char* name, const char* caption, bool DisplayOptions::*field);
    void GiveBackRadar();

    ProgramState& state_;
    QPointer<RadarWindow> radar_;
    bool givenBack_ = false;
};

}  // namespace tarnwick
