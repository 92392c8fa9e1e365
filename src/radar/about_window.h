#pragma once
// The about window: the program's title and an OK button. It takes over from
// the radar window, which gets the scope back when it closes.
#include <QWidget>

namespace tarnwick {

class AboutWindow : public QWidget {
    Q_OBJECT
   public:
    explicit AboutWindow(QWidget* parent = nullptr);

   signals:
    // Emitted once, by OK or any other close.
    void Finished();

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    bool finished_ = false;
};

// The window's and its controls' object names, by which tests find them.
inline constexpr char kAboutWindowName[] = "Form7";
inline constexpr char kAboutTitleLabelName[] = "Label1";
inline constexpr char kAboutOkButtonName[] = "Command1";

}  // namespace tarnwick
