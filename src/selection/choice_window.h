#pragma once
// The choice window: loads the declination grid and both databases one second
// after it opens, lists the airports and the ARTCC/FIR sectors, and gathers
// the area the user picks before handing over to the next window.
#include <QWidget>
#include <optional>
#include <string>

#include "base/message_boxes.h"
#include "selection/selection_state.h"

class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tarnwick {

class ChoiceListModel;

class ChoiceWindow : public QWidget {
    Q_OBJECT
   public:
    ChoiceWindow(SelectionState state, MessageBoxes& boxes, QWidget* parent = nullptr);

    // The loading, run once by Timer1's first tick (public so tests need not wait).
    void LoadingTick();
    bool ChoiceMade() const { return choiceMade_; }

   signals:
    // The area is gathered into the chosen-area state; the window closes.
    void AreaChosen();
    // Closed without a choice.
    void ClosedWithoutChoice();

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    class Progress;

    void OnAirportOptionClicked();
    void OnSectorOptionClicked();
    void OnExitClicked();
    void OnGetAreaClicked();

    void SetControlsEnabled(bool enabled);
    void SetStatus(const QString& text);
    void StartProgress(int maximum);
    void AdvanceProgress();
    void ResetProgress();
    void WarnIfNeeded(const std::string& warning);
    void FillLists();
    // The list text when the combo's text is exactly one of its entries.
    std::optional<std::string> SelectedText(QComboBox* combo, ChoiceListModel* model) const;

    SelectionState state_;
    MessageBoxes& boxes_;
    bool choiceMade_ = false;

    QRadioButton* airportOption_;
    QRadioButton* sectorOption_;
    QComboBox* airportCombo_;
    QComboBox* sectorCombo_;
    ChoiceListModel* airports_;
    ChoiceListModel* sectors_;
    QPushButton* exitButton_;
    QPushButton* getAreaButton_;
    QLineEdit* statusEdit_;
    QProgressBar* progressBar_;
    QTimer* loadTimer_;
};

// The window's, its controls' and its timer's object names, by which tests
// find them.
inline constexpr char kChoiceWindowName[] = "Form5";
inline constexpr char kChoiceOptionsFrameName[] = "Frame1";
inline constexpr char kAirportOptionName[] = "Option1";
inline constexpr char kSectorOptionName[] = "Option2";
inline constexpr char kAirportFrameName[] = "Frame2";
inline constexpr char kAirportComboName[] = "Combo1";
inline constexpr char kSectorFrameName[] = "Frame3";
inline constexpr char kSectorComboName[] = "Combo2";
inline constexpr char kGetAreaButtonName[] = "Command3";
inline constexpr char kChoiceExitButtonName[] = "Command2";
inline constexpr char kChoiceStatusCaptionLabelName[] = "Label1";
inline constexpr char kChoiceStatusEditName[] = "Text2";
inline constexpr char kChoiceProgressBarName[] = "ProgressBar1";
inline constexpr char kLoadingTimerName[] = "Timer1";

}  // namespace tarnwick
