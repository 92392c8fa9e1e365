#pragma once
// The preferences: the scope's eight display switches as check boxes. Changes
// take effect at once; the scope shows them at its next redraw.
#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

#include "state/display_options.h"

namespace tarnwick {

class PreferencesWindow : public QWidget {
    Q_OBJECT
   public:
    explicit PreferencesWindow(DisplayOptions& display, QWidget* parent = nullptr);

   signals:
    // Emitted once, by OK or any other close: the window it took over from
    // is to be given back.
    void Finished();

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    void AddSwitch(const char* name, const char* caption, bool DisplayOptions::*field);
    void GiveBack();

    DisplayOptions& display_;
    bool givenBack_ = false;
};

}  // namespace tarnwick
