#pragma once
// The setup window: asks for the simulator version and its main folder,
// checks the folder for fs2002.exe, writes the settings file and hands over to
// the database builder. Closing it before that ends the program.
#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "base/folder_browsing.h"
#include "base/message_boxes.h"
#include "scenery/fs_installations.h"
#include "state/settings_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tarnwick {

class FolderTree;

class SetupWindow : public QWidget {
    Q_OBJECT
   public:
    // `places` are where FS2002 is looked for in Wine prefixes, offered in
    // a list above the folder tree as it is found.
    SetupWindow(SettingsState& settings, MessageBoxes& boxes, const InstallationPlaces& places = {},
                QWidget* parent = nullptr);
    ~SetupWindow() override;

    bool SetupFinished() const { return setupFinished_; }

   signals:
    // The settings file is written; the builder comes next.
    void SetupDone();
    // Closed before that; the user was told and the program ends.
    void SetupAbandoned();

   protected:
    void closeEvent(QCloseEvent* event) override;

   private:
    void OnDriveChanged(int index);
    void OnDirChanged(const QString& path);
    void OnFolderTextChanged(const QString& text);
    void OnNextStepClicked();
    void OnSearchTick();
    void OnInstallationPicked();

    SettingsState& settings_;
    MessageBoxes& boxes_;
    bool setupFinished_ = false;
    std::vector<MountedVolume> volumes_;
    QRadioButton* fs2002Option_;
    QComboBox* driveList_;
    FolderTree* folderTree_;
    QLineEdit* folderEdit_;
    QPushButton* nextStepButton_;
    // The search for FS2002, run in slices from a timer so that a large
    // prefix never holds up the window.
    std::unique_ptr<InstallationSearch> search_;
    QTimer* searchTimer_;
    QElapsedTimer searchTime_;
    std::filesystem::path home_;
    QLabel* installationsLabel_;
    QListWidget* installationsList_;
};

// The window's, its controls' and its timer's object names, by which tests
// find them.
inline constexpr char kSetupWindowName[] = "Form3";
inline constexpr char kSimulatorFrameName[] = "Frame1";
inline constexpr char kVersionLabelName[] = "Label1";
inline constexpr char kFs2002OptionName[] = "Option1";
inline constexpr char kFolderFrameName[] = "Frame2";
inline constexpr char kFolderPromptLabelName[] = "Label2";
inline constexpr char kFolderExampleLabelName[] = "Label3";
inline constexpr char kFolderEditName[] = "Text1";
inline constexpr char kInstallationsLabelName[] = "installationsLabel";
inline constexpr char kInstallationsListName[] = "installationsList";
inline constexpr char kCurrentFolderLabelName[] = "Label4";
inline constexpr char kSetupDriveListName[] = "Drive1";
inline constexpr char kFolderTreeName[] = "Dir1";
inline constexpr char kNextStepButtonName[] = "Command1";
inline constexpr char kInstallationSearchTimerName[] = "installationSearch";

}  // namespace tarnwick
