#pragma once
// The choice window: loads the declination grid and both databases one second
// after it opens, lists the airports and the ARTCC/FIR sectors, and gathers
// the area the user picks before handing over to the next window.
#include <QWidget>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tarnwick {

class ChoiceListModel;
class WindowFlow;

class ChoiceWindow : public QWidget {
    Q_OBJECT
   public:
    explicit ChoiceWindow(WindowFlow& flow, QWidget* parent = nullptr);

    // The loading, run once by Timer1's first tick (public so tests need not wait).
    void Timer1Tick();
    bool ChoiceMade() const { return choiceMade_; }

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    class Progress;

    void OnOption1Clicked();
    void OnOption2Clicked();
    void OnCommand2Clicked();
    void OnCommand3Clicked();

    void SetControlsEnabled(bool enabled);
    void SetStatus(const QString& text);
    void StartProgress(int maximum);
    void AdvanceProgress();
    void ResetProgress();
    void WarnIfNeeded(const std::string& warning);
    void FillLists();
    // The list text when the combo's text is exactly one of its entries.
    std::optional<std::string> SelectedText(QComboBox* combo, ChoiceListModel* model) const;

    WindowFlow& flow_;
    bool choiceMade_ = false;

    QRadioButton* option1_;
    QRadioButton* option2_;
    QComboBox* combo1_;
    QComboBox* combo2_;
    ChoiceListModel* airports_;
    ChoiceListModel* sectors_;
    QPushButton* command2_;
    QPushButton* command3_;
    QLineEdit* text2_;
    QProgressBar* progressBar1_;
    QTimer* timer1_;
};

}  // namespace tarnwick
