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

// The window's and its controls' object names, by which tests find them.
inline constexpr char kPreferencesWindowName[] = "Form10";
inline constexpr char kDisplayAirspacesCheckName[] = "Check1";
inline constexpr char kDisplayIlsCheckName[] = "Check2";
inline constexpr char kDisplayHighArtccCheckName[] = "Check3";
inline constexpr char kDisplayLowArtccCheckName[] = "Check4";
inline constexpr char kDisplayTaxiwaysCheckName[] = "Check8";
inline constexpr char kDisplayTaxiwayIdsCheckName[] = "Check9";
inline constexpr char kDisplayParkingsCheckName[] = "Check10";
inline constexpr char kDisplayAirportNameCheckName[] = "Check11";
inline constexpr char kPreferencesOkButtonName[] = "Command1";

}  // namespace tarnwick
