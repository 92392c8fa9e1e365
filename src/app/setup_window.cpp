#include "app/setup_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/qt_folder_tree.h"
#include "base/ansi.h"
#include "base/file_system.h"
#include "base/folder_browsing.h"
#include "scenery/fs_folder.h"
#include "state/settings_writes.h"
#include "state/work_folder.h"

namespace tarnwick {

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

SetupWindow::SetupWindow(SettingsState& settings, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      boxes_(boxes),
      volumes_(ListMountedVolumes()),
      option1_(new QRadioButton("Microsoft Flight Simulator 2002")),
      drive1_(new QComboBox),
      dir1_(new FolderTree),
      text1_(new QLineEdit),
      command1_(new QPushButton("NEXT STEP --->")) {
    setObjectName("Form3");
    setWindowTitle("Settings");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame1 = new QGroupBox("Flight Simulator Information", this);
    frame1->setObjectName("Frame1");
    auto* frame1Layout = new QVBoxLayout(frame1);
    frame1Layout->addWidget(
        NamedLabel("Label1", "Select the version of your Microsoft Flight Simulator:", frame1));
    option1_->setObjectName("Option1");
    frame1Layout->addWidget(option1_);

    auto* frame2 = new QGroupBox("Flight Simulator's Path", this);
    frame2->setObjectName("Frame2");
    auto* frame2Layout = new QGridLayout(frame2);
    frame2Layout->addWidget(NamedLabel("Label2", "Enter your Flight Simulator's main path:", frame2), 0, 0, 1,
                            2);
    frame2Layout->addWidget(
        NamedLabel("Label3", "Example: C:\\Program Files\\Microsoft Games\\Fs2002", frame2), 1, 0, 1, 2);
    text1_->setObjectName("Text1");
    frame2Layout->addWidget(text1_, 2, 0, 1, 2);
    frame2Layout->addWidget(NamedLabel("Label4", "Current Directory:", frame2), 3, 0, 1, 2);
    drive1_->setObjectName("Drive1");
    frame2Layout->addWidget(drive1_, 4, 0, 1, 2);
    dir1_->setObjectName("Dir1");
    frame2Layout->addWidget(dir1_, 5, 0, 1, 2);

    command1_->setObjectName("Command1");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2, 1);
    layout->addWidget(command1_, 0, Qt::AlignRight);
    resize(520, 560);

    for (const MountedVolume& volume : volumes_) drive1_->addItem(QString::fromStdString(volume.Entry()));
    // The drive list opens on the volume of the work folder.
    drive1_->setCurrentIndex(static_cast<int>(VolumeHolding(volumes_, WorkFolderPath(settings_.WorkFolder))));

    connect(option1_, &QRadioButton::clicked, this, [this] { settings_.FsVersion = 1; });
    connect(drive1_, &QComboBox::currentIndexChanged, this, &SetupWindow::OnDriveChanged);
    connect(dir1_, &FolderTree::PathChanged, this, &SetupWindow::OnDirChanged);
    connect(text1_, &QLineEdit::textChanged, this, &SetupWindow::OnText1Changed);
    connect(command1_, &QPushButton::clicked, this, &SetupWindow::OnCommand1);

    // Load: the only version is chosen (its click sets FsVersion), and the
    // folder tree opens where the drive list stands.
    option1_->click();
    OnDriveChanged(drive1_->currentIndex());
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::OnDriveChanged(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= volumes_.size()) return;
    const QString root = QString::fromStdString(volumes_[static_cast<std::size_t>(index)].Root);
    // As with a drive letter, the folder is the current one when it lies on
    // that volume, else the volume's root.
    const QString current = QString::fromStdString(WorkFolderPath(settings_.WorkFolder).string());
    const bool here = VolumeHolding(volumes_, current.toStdString()) == static_cast<std::size_t>(index);
    dir1_->SetRootAndPath(root, here ? current : root);
    OnDirChanged(dir1_->Path());
}

void SetupWindow::OnDirChanged(const QString& path) { text1_->setText(path); }

void SetupWindow::OnText1Changed(const QString& text) {
    if (const auto shortened = ShortenDriveRoot(text.toStdString()))
        text1_->setText(QString::fromStdString(*shortened));
}

void SetupWindow::OnCommand1() {
    const std::string folder = text1_->text().toStdString();
    if (!HoldsFs2002Exe(folder, WorkFolderPath(settings_.WorkFolder))) {
        boxes_.Warn(kNotFs2002Folder);
        return;
    }
    // The settings file holds the folder as Windows-1252 text; a folder name
    // outside it could never be found again from the file.
    const std::optional<std::string> ansiFolder = Utf8ToAnsi(folder);
    if (!ansiFolder) {
        boxes_.Warn("The folder " + folder +
                    " has characters that the settings file cannot hold. Please choose or rename the "
                    "folder so that its path uses Western European characters only.");
        return;
    }
    try {
        WriteSetupSettings(settings_, *ansiFolder, option1_->isChecked());
    } catch (const FileError& failure) {
        boxes_.Warn(std::string("The settings file could not be written: ") + failure.what());
        return;
    }
    boxes_.Inform(kSettingsCreated);
    setupFinished_ = true;
    emit SetupDone();
    close();
}

void SetupWindow::closeEvent(QCloseEvent* event) {
    if (!setupFinished_) {
        DeleteSettingsFile(settings_.WorkFolder);
        boxes_.Inform(kSetupNotFinished);
        emit SetupAbandoned();
    }
    event->accept();
}

}  // namespace tarnwick
