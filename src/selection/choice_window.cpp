#include "selection/choice_window.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "base/ansi.h"
#include "selection/area_tables.h"
#include "selection/choice_lists.h"
#include "selection/gather_area.h"
#include "selection/qt_choice_list_model.h"
#include "selection/world_loading.h"

namespace tarnwick {
namespace {

// Enter in the suggestions takes the highlighted one; when the filter shows
// a single suggestion, that one counts as highlighted.
class OnlySuggestionOnEnter : public QObject {
   public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* popup = static_cast<QAbstractItemView*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !popup->currentIndex().isValid() &&
            popup->model()->rowCount() == 1) {
            popup->setCurrentIndex(popup->model()->index(0, 0));
        }
        return false;  // the completer itself takes the suggestion
    }
};

QComboBox* MakeChoiceCombo(const char* name, const QString& prompt, ChoiceListModel* model, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setModel(model);
    // Measuring every entry for the width would cost more than filling the list.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(40);
    combo->setMaxVisibleItems(15);
    if (auto* view = qobject_cast<QListView*>(combo->view())) view->setUniformItemSizes(true);
    combo->lineEdit()->setPlaceholderText(prompt);

    // Typing narrows the choice to the entries holding the typed text anywhere,
    // in any case, so one airport among tens of thousands is a few keys away.
    auto* completer = new QCompleter(model, combo);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(15);
    if (auto* popup = qobject_cast<QListView*>(completer->popup())) popup->setUniformItemSizes(true);
    // Installed after the completer's own filter, so it sees each key first.
    completer->popup()->installEventFilter(new OnlySuggestionOnEnter(completer));
    combo->setCompleter(completer);
    combo->setCurrentIndex(-1);
    return combo;
}

QGroupBox* Frame(const char* name, const QString& caption, QWidget* content, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(content);
    return frame;
}

}  // namespace

// Shows the gathering's steps as they happen; repainting at once keeps the
// status and the bar current without letting other events in mid-gathering.
class ChoiceWindow::Progress : public SelectionProgress {
   public:
    explicit Progress(ChoiceWindow& window) : window_(window) {}
    void Started(int maximum) override { window_.StartProgress(maximum); }
    void Status(std::string_view text) override {
        window_.SetStatus(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void Advanced() override { window_.AdvanceProgress(); }

   private:
    ChoiceWindow& window_;
};

ChoiceWindow::ChoiceWindow(SelectionState state, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent),
      state_(state),
      boxes_(boxes),
      airports_(new ChoiceListModel(this)),
      sectors_(new ChoiceListModel(this)),
      loadTimer_(new QTimer(this)) {
    setObjectName(kChoiceWindowName);
    setWindowTitle("Choosing an airport or an ARTCC/FIR sector");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* options = new QWidget(this);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    airportOption_ = new QRadioButton("Control an airport", options);
    airportOption_->setObjectName(kAirportOptionName);
    airportOption_->setChecked(true);
    sectorOption_ = new QRadioButton("Control an ARTCC/FIR sector", options);
    sectorOption_->setObjectName(kSectorOptionName);
    optionsLayout->addWidget(airportOption_);
    optionsLayout->addWidget(sectorOption_);

    airportCombo_ = MakeChoiceCombo(kAirportComboName, "[Type and select an airport]", airports_, this);
    sectorCombo_ = MakeChoiceCombo(kSectorComboName, "[Type and select an ARTCC/FIR]", sectors_, this);

    getAreaButton_ = new QPushButton("GET AIRPORT OR ARTCC/FIR", this);
    getAreaButton_->setObjectName(kGetAreaButtonName);
    exitButton_ = new QPushButton("EXIT", this);
    exitButton_->setObjectName(kChoiceExitButtonName);

    statusEdit_ = new QLineEdit("-None-", this);
    statusEdit_->setObjectName(kChoiceStatusEditName);
    statusEdit_->setReadOnly(true);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(kChoiceProgressBarName);
    progressBar_->setRange(0, 6);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(getAreaButton_, 1);
    buttons->addWidget(exitButton_);
    auto* status = new QHBoxLayout;
    auto* statusLabel = new QLabel("Status:", this);
    statusLabel->setObjectName(kChoiceStatusCaptionLabelName);
    status->addWidget(statusLabel);
    status->addWidget(statusEdit_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame(kChoiceOptionsFrameName, "Choose one of the following options", options, this));
    layout->addWidget(Frame(kAirportFrameName, "Select an airport", airportCombo_, this));
    layout->addWidget(Frame(kSectorFrameName, "Select an ARTCC/FIR sector", sectorCombo_, this));
    layout->addLayout(buttons);
    layout->addLayout(status);
    layout->addWidget(progressBar_);
    resize(520, 360);

    connect(airportOption_, &QRadioButton::clicked, this, &ChoiceWindow::OnAirportOptionClicked);
    connect(sectorOption_, &QRadioButton::clicked, this, &ChoiceWindow::OnSectorOptionClicked);
    connect(exitButton_, &QPushButton::clicked, this, &ChoiceWindow::OnExitClicked);
    connect(getAreaButton_, &QPushButton::clicked, this, &ChoiceWindow::OnGetAreaClicked);

    // Nothing can be chosen before the lists are loaded.
    SetControlsEnabled(false);
    loadTimer_->setObjectName(kLoadingTimerName);
    loadTimer_->setInterval(1000);
    connect(loadTimer_, &QTimer::timeout, this, &ChoiceWindow::LoadingTick);
    loadTimer_->start();
}

void ChoiceWindow::LoadingTick() {
    // Stopped first: a warning box runs its own event loop, in which the timer
    // must not start the loading a second time.
    loadTimer_->stop();
    choiceMade_ = false;
    SetControlsEnabled(false);
    progressBar_->setRange(0, 6);
    progressBar_->setValue(0);
    progressBar_->repaint();

    Progress progress(*this);
    try {
        const WorldLoadResult loaded = LoadWorldTables(state_, &progress);
        WarnIfNeeded(loaded.Warning);
        FillLists();
    } catch (const std::exception& error) {
        WarnIfNeeded(std::string("The databases could not be loaded: ") + error.what());
    }

    ResetProgress();
    SetControlsEnabled(true);
    airportOption_->setChecked(true);  // airport mode
    airportCombo_->setEnabled(true);
    sectorCombo_->setEnabled(false);
    SetStatus("Done");
}

void ChoiceWindow::FillLists() {
    const SelectionState state = state_;
    SetStatus("Adding Airports to List");
    airports_->SetEntries(AirportListTexts(state));
    airportCombo_->setCurrentIndex(-1);
    AdvanceProgress();

    SetStatus("Adding ARTCC/FIRs to List");
    sectors_->SetEntries(SectorListNames(state));
    sectorCombo_->setCurrentIndex(-1);
    AdvanceProgress();
}

void ChoiceWindow::OnAirportOptionClicked() {
    sectorOption_->setChecked(false);
    airportCombo_->setEnabled(true);
    sectorCombo_->setEnabled(false);
}

void ChoiceWindow::OnSectorOptionClicked() {
    airportOption_->setChecked(false);
    sectorCombo_->setEnabled(true);
    airportCombo_->setEnabled(false);
}

void ChoiceWindow::OnExitClicked() {
    SetStatus("Please wait...");
    close();
}

void ChoiceWindow::OnGetAreaClicked() {
    AreaChoice choice;
    std::optional<std::string> selected;
    if (airportOption_->isChecked()) {
        choice.Kind = AreaChoiceKind::Airport;
        selected = SelectedText(airportCombo_, airports_);
    } else if (sectorOption_->isChecked()) {
        choice.Kind = AreaChoiceKind::Sector;
        selected = SelectedText(sectorCombo_, sectors_);
    }
    if (!selected) return;  // nothing chosen: nothing happens
    choice.Text = std::move(*selected);

    SetControlsEnabled(false);
    Progress progress(*this);
    GatherOutcome outcome = GatherOutcome::NotFound;
    try {
        outcome = GatherArea(state_, choice, &progress);
    } catch (const std::exception& error) {
        // The gathering changes nothing until it is complete, so the window can go on.
        WarnIfNeeded(std::string("The area could not be gathered: ") + error.what());
    }
    ResetProgress();
    SetControlsEnabled(true);
    if (airportOption_->isChecked()) sectorCombo_->setEnabled(false);
    if (sectorOption_->isChecked()) airportCombo_->setEnabled(false);
    SetStatus("Done");
    if (outcome != GatherOutcome::Gathered) return;

    choiceMade_ = true;
    emit AreaChosen();
    close();
}

void ChoiceWindow::closeEvent(QCloseEvent* event) {
    SetStatus("Please wait...");
    ReleaseWorldTables(state_);
    // After a hand-over the next window has already taken over.
    if (!choiceMade_) emit ClosedWithoutChoice();
    event->accept();
}

void ChoiceWindow::SetControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{exitButton_, getAreaButton_, airportCombo_,
                                                            sectorCombo_, airportOption_, sectorOption_}) {
        control->setEnabled(enabled);
    }
}

void ChoiceWindow::SetStatus(const QString& text) {
    statusEdit_->setText(text);
    statusEdit_->repaint();
}

void ChoiceWindow::StartProgress(int maximum) {
    progressBar_->setRange(0, maximum);
    progressBar_->setValue(0);
    progressBar_->repaint();
}

void ChoiceWindow::AdvanceProgress() {
    progressBar_->setValue(std::min(progressBar_->value() + 1, progressBar_->maximum()));
    progressBar_->repaint();
}

void ChoiceWindow::ResetProgress() {
    progressBar_->setMinimum(0);
    progressBar_->setValue(0);
    progressBar_->repaint();
}

void ChoiceWindow::WarnIfNeeded(const std::string& warning) {
    if (!warning.empty()) boxes_.Warn(warning);
}

std::optional<std::string> ChoiceWindow::SelectedText(QComboBox* combo, ChoiceListModel* model) const {
    const QString text = combo->currentText();
    if (text.isEmpty()) return std::nullopt;
    // The entry at the current index is tried first; otherwise typed text
    // counts as the one entry the filter shows for it.
    const int row = combo->currentIndex();
    if (row >= 0 && combo->itemText(row) == text) return model->AnsiAt(row);
    const std::optional<std::string> typed = Utf8ToAnsi(text.toStdString());
    if (!typed) return std::nullopt;
    const std::optional<std::size_t> entry = EntryForTypedText(model->Entries(), *typed);
    if (!entry) return std::nullopt;
    return model->Entries()[*entry];
}

}  // namespace tarnwick
