#pragma once
// The setup window: asks for the simulator version and its main folder,
// checks the folder for fs2002.exe, writes the settings file and hands over to
// the database builder. Closing it before that ends the program.
#include <QWidget>
#include <vector>

#include "base/folder_browsing.h"
#include "base/message_boxes.h"
#include "state/settings_state.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarnwick {

class FolderTree;

class SetupWindow : public QWidget {
    Q_OBJECT
   public:
    SetupWindow(SettingsState& settings, MessageBoxes& boxes, QWidget* parent = nullptr);
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

    SettingsState& settings_;
    MessageBoxes& boxes_;
    bool setupFinished_ = false;
    std::vector<MountedVolume> volumes_;
    QRadioButton* fs2002Option_;
    QComboBox* driveList_;
    FolderTree* folderTree_;
    QLineEdit* folderEdit_;
    QPushButton* nextStepButton_;
};

}  // namespace tarnwick
