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

}  // namespace tarnwick
