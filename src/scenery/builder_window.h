#pragma once
// The builder window: prepares the build a second after it opens, starts the
// scan when its button is pressed, scans the scenery files in timer ticks,
// writes the databases and hands over to the choice window.
#include <QWidget>
#include <memory>

#include "base/message_boxes.h"
#include "scenery/database_build.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarnwick {

class BuilderWindow : public QWidget {
    Q_OBJECT
   public:
    // Relative folders of the settings resolve against the work folder.
    BuilderWindow(SettingsState& settings, DeclinationGrid& grid, MessageBoxes& boxes,
                  QWidget* parent = nullptr);
    ~BuilderWindow() override;

    const DatabaseBuild& Build() const { return *build_; }

   signals:
    // Both databases and the settings are written; the next window may open.
    void BuildDone();
    // The build could not be done and the user was told; the program ends.
    void BuildFailed();

   private:
    void OnReadSceneriesPaths();
    void OnCreateClicked();
    void OnReadAllAirports();
    void FinishBuild();
    void Fail(const std::string& problem);
    void ShowStatus(const std::string& ansiText);
    void ShowSkippedAreas();

    MessageBoxes& boxes_;
    std::unique_ptr<DatabaseBuild> build_;
    QTimer* readSceneriesPaths_;
    QTimer* readAllAirports_;
    QPushButton* createButton_;
    QLineEdit* statusEdit_;
    QLabel* scanningLabel_;
    QProgressBar* progressBar_;
    QComboBox* driveList_;
    // The areas the scan passes over, named once the configuration is read;
    // hidden while there are none.
    QPlainTextEdit* skippedLog_;
    std::string shownStatus_;
};

// The window's, its controls' and its timers' object names, by which tests
// find them.
inline constexpr char kBuilderWindowName[] = "Form4";
inline constexpr char kReadSceneriesPathsTimerName[] = "Read_Sceneries_Paths";
inline constexpr char kReadAllAirportsTimerName[] = "Read_All_Airports";
inline constexpr char kCreateDatabasesButtonName[] = "Command2";
inline constexpr char kBuildStatusEditName[] = "Text1";
inline constexpr char kScanningLabelName[] = "Label2";
inline constexpr char kBuildProgressBarName[] = "ProgressBar1";
inline constexpr char kBuilderDriveListName[] = "Drive1";
inline constexpr char kSkippedAreasLogName[] = "skippedAreasLog";

}  // namespace tarnwick
