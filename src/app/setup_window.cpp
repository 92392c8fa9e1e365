#include "app/setup_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
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

// How long one slice of the search for FS2002 may hold the window.
constexpr qint64 kSearchSliceMs = 20;
// Folder entries looked at between looks at the clock.
constexpr std::size_t kSearchEntriesPerLook = 256;

constexpr const char* kLookingForFs2002 = "Looking for FS2002 in this user's Wine prefixes...";
constexpr const char* kFs2002Found = "FS2002 found on this computer:";
constexpr const char* kFs2002NotFound =
    "FS2002 was not found in this user's Wine prefixes: choose its folder below.";

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A folder as the user knows it: ~ for the home folder.
QString ShownFolder(const std::filesystem::path& folder, const std::filesystem::path& home) {
    QString text = QString::fromStdString(folder.string());
    if (home.empty()) return text;
    const QString homeText = QDir::cleanPath(QString::fromStdString(home.string()));
    if (homeText == "/") return text;
    if (text == homeText) return "~";
    if (text.startsWith(homeText + "/")) return "~" + text.mid(homeText.size());
    return text;
}

}  // namespace

SetupWindow::SetupWindow(SettingsState& settings, MessageBoxes& boxes, const InstallationPlaces& places,
                         QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      boxes_(boxes),
      volumes_(ListMountedVolumes()),
      fs2002Option_(new QRadioButton("Microsoft Flight Simulator 2002")),
      driveList_(new QComboBox),
      folderTree_(new FolderTree),
      folderEdit_(new QLineEdit),
      nextStepButton_(new QPushButton("NEXT STEP --->")),
      search_(std::make_unique<InstallationSearch>(places)),
      searchTimer_(new QTimer(this)),
      home_(places.Home),
      installationsLabel_(new QLabel(kLookingForFs2002)),
      installationsList_(new QListWidget) {
    setObjectName(kSetupWindowName);
    setWindowTitle("Settings");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame1 = new QGroupBox("Flight Simulator Information", this);
    frame1->setObjectName(kSimulatorFrameName);
    auto* frame1Layout = new QVBoxLayout(frame1);
    frame1Layout->addWidget(
        NamedLabel(kVersionLabelName, "Select the version of your Microsoft Flight Simulator:", frame1));
    fs2002Option_->setObjectName(kFs2002OptionName);
    frame1Layout->addWidget(fs2002Option_);

    auto* frame2 = new QGroupBox("Flight Simulator's Path", this);
    frame2->setObjectName(kFolderFrameName);
    auto* frame2Layout = new QGridLayout(frame2);
    frame2Layout->addWidget(
        NamedLabel(kFolderPromptLabelName, "Enter your Flight Simulator's main path:", frame2), 0, 0, 1, 2);
    frame2Layout->addWidget(
        NamedLabel(kFolderExampleLabelName, "Example: C:\\Program Files\\Microsoft Games\\Fs2002", frame2), 1,
        0, 1, 2);
    folderEdit_->setObjectName(kFolderEditName);
    frame2Layout->addWidget(folderEdit_, 2, 0, 1, 2);
    installationsLabel_->setObjectName(kInstallationsLabelName);
    frame2Layout->addWidget(installationsLabel_, 3, 0, 1, 2);
    installationsList_->setObjectName(kInstallationsListName);
    installationsList_->setVisible(false);
    frame2Layout->addWidget(installationsList_, 4, 0, 1, 2);
    frame2Layout->addWidget(NamedLabel(kCurrentFolderLabelName, "Current Directory:", frame2), 5, 0, 1, 2);
    driveList_->setObjectName(kSetupDriveListName);
    frame2Layout->addWidget(driveList_, 6, 0, 1, 2);
    folderTree_->setObjectName(kFolderTreeName);
    frame2Layout->addWidget(folderTree_, 7, 0, 1, 2);

    nextStepButton_->setObjectName(kNextStepButtonName);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2, 1);
    layout->addWidget(nextStepButton_, 0, Qt::AlignRight);
    resize(520, 600);

    for (const MountedVolume& volume : volumes_) driveList_->addItem(QString::fromStdString(volume.Entry()));
    // The drive list opens on the volume of the work folder.
    driveList_->setCurrentIndex(
        static_cast<int>(VolumeHolding(volumes_, WorkFolderPath(settings_.WorkFolder))));

    connect(fs2002Option_, &QRadioButton::clicked, this, [this] { settings_.FsVersion = 1; });
    connect(driveList_, &QComboBox::currentIndexChanged, this, &SetupWindow::OnDriveChanged);
    connect(folderTree_, &FolderTree::PathChanged, this, &SetupWindow::OnDirChanged);
    connect(folderEdit_, &QLineEdit::textChanged, this, &SetupWindow::OnFolderTextChanged);
    connect(nextStepButton_, &QPushButton::clicked, this, &SetupWindow::OnNextStepClicked);
    connect(installationsList_, &QListWidget::currentItemChanged, this, &SetupWindow::OnInstallationPicked);
    searchTimer_->setObjectName(kInstallationSearchTimerName);
    searchTimer_->setInterval(0);
    connect(searchTimer_, &QTimer::timeout, this, &SetupWindow::OnSearchTick);
    searchTime_.start();
    searchTimer_->start();

    // Load: the only version is chosen (its click sets FsVersion), and the
    // folder tree opens where the drive list stands.
    fs2002Option_->click();
    OnDriveChanged(driveList_->currentIndex());
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::OnDriveChanged(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= volumes_.size()) return;
    const QString root = QString::fromStdString(volumes_[static_cast<std::size_t>(index)].Root);
    // As with a drive letter, the folder is the current one when it lies on
    // that volume, else the volume's root.
    const QString current = QString::fromStdString(WorkFolderPath(settings_.WorkFolder).string());
    const bool here = VolumeHolding(volumes_, current.toStdString()) == static_cast<std::size_t>(index);
    folderTree_->SetRootAndPath(root, here ? current : root);
    OnDirChanged(folderTree_->Path());
}

void SetupWindow::OnDirChanged(const QString& path) { folderEdit_->setText(path); }

void SetupWindow::OnFolderTextChanged(const QString& text) {
    if (const auto shortened = ShortenDriveRoot(text.toStdString()))
        folderEdit_->setText(QString::fromStdString(*shortened));
}

void SetupWindow::OnSearchTick() {
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.elapsed() < kSearchSliceMs) more = search_->Advance(kSearchEntriesPerLook);
    const std::vector<FsInstallation>& found = search_->Found();
    for (auto i = static_cast<std::size_t>(installationsList_->count()); i < found.size(); ++i) {
        auto* item = new QListWidgetItem(ShownFolder(found[i].Folder, home_), installationsList_);
        item->setData(Qt::UserRole, QString::fromStdString(found[i].Folder.string()));
        item->setToolTip(QString("In the Wine prefix %1, found by %2")
                             .arg(ShownFolder(found[i].Prefix, home_), found[i].How == FoundBy::Registry
                                                                           ? "its registry"
                                                                           : "searching its drive_c"));
    }
    // As tall as its entries, up to four, so that the tree keeps its room.
    if (!found.empty()) {
        const int rows = std::min<int>(installationsList_->count(), 4);
        installationsList_->setFixedHeight(installationsList_->sizeHintForRow(0) * rows +
                                           2 * installationsList_->frameWidth());
    }
    installationsList_->setVisible(!found.empty());
    if (!found.empty()) installationsLabel_->setText(kFs2002Found);
    const bool outOfTime = searchTime_.elapsed() >= qint64{kInstallationSearchSeconds} * 1000;
    if (more && !outOfTime) return;
    searchTimer_->stop();
    QString text = found.empty() ? kFs2002NotFound : kFs2002Found;
    if (more) text += QString(" (stopped looking after %1 s)").arg(kInstallationSearchSeconds);
    installationsLabel_->setText(text);
}

void SetupWindow::OnInstallationPicked() {
    if (const QListWidgetItem* item = installationsList_->currentItem())
        folderEdit_->setText(item->data(Qt::UserRole).toString());
}

void SetupWindow::OnNextStepClicked() {
    const std::string folder = folderEdit_->text().toStdString();
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
        WriteSetupSettings(settings_, *ansiFolder, fs2002Option_->isChecked());
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
