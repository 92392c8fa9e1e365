#pragma once
// The builder window: prepares the build a second after it opens, starts the
// scan when its button is pressed, scans the scenery files in timer ticks,
// writes the databases and hands over to the choice window.
#include <QWidget>
#include <memory>

#include "scenery/database_build.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarnwick {

class WindowFlow;

class BuilderWindow : public QWidget {
    Q_OBJECT
   public:
    explicit BuilderWindow(WindowFlow& flow, QWidget* parent = nullptr);
    ~BuilderWindow() override;

    const DatabaseBuild& Build() const { return *build_; }

   private:
    void OnReadSceneriesPaths();
    void OnCommand2();
    void OnReadAllAirports();
    void FinishBuild();
    void Fail(const std::string& problem);
    void ShowStatus(const std::string& ansiText);

    WindowFlow& flow_;
    std::unique_ptr<DatabaseBuild> build_;
    QTimer* readSceneriesPaths_;
    QTimer* readAllAirports_;
    QPushButton* command2_;
    QLineEdit* text1_;
    QLabel* label2_;
    QProgressBar* progressBar1_;
    QComboBox* drive1_;
    std::string shownStatus_;
};

}  // namespace tarnwick
