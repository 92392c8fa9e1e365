#include "radar/aids/radar_aids_window.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

namespace tarnwick {
namespace {

// A unit that sits on its number, without a space.
constexpr const char* kDegrees = "\u00B0";

const AidSwitch& SwitchFor(bool RadarAids::*field) {
    if (field == kAlertSound.Field) return kAlertSound;
    const auto same = [&](const AidSwitch& aid) { return aid.Field == field; };
    const auto inhibition = std::find_if(kInhibitions.begin(), kInhibitions.end(), same);
    if (inhibition != kInhibitions.end()) return *inhibition;
    return *std::find_if(kAidSwitches.begin(), kAidSwitches.end(), same);
}

const AidNumber& NumberFor(std::int32_t RadarAids::*field) {
    return *std::find_if(kAidNumbers.begin(), kAidNumbers.end(),
                         [&](const AidNumber& number) { return number.Field == field; });
}

QString ObjectName(const char* name, const char* kind) {
    // "history-dots" becomes "historyDotsSpin".
    QString text;
    bool upper = false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '-') {
            upper = true;
            continue;
        }
        text += upper ? QChar(*c).toUpper() : QChar(*c);
        upper = false;
    }
    return text + kind;
}

}  // namespace

QString AidCheckBoxName(bool RadarAids::*field) { return ObjectName(SwitchFor(field).Name, "Check"); }

QString AidSpinBoxName(std::int32_t RadarAids::*field) { return ObjectName(NumberFor(field).Name, "Spin"); }

RadarAidsWindow::RadarAidsWindow(RadarAids& aids, QWidget* parent)
    : QWidget(parent, Qt::Window), aids_(aids), grid_(new QGridLayout) {
    setObjectName(kRadarAidsWindowName);
    setWindowTitle("Radar aids");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid_);

    historyCheck_ = AddSwitch(&RadarAids::History, 0);
    historyDotsSpin_ = AddNumber(&RadarAids::HistoryDots, "", "dots", 0, 1);
    historySpacingSpin_ = AddNumber(&RadarAids::HistorySpacingS, "every", "s", 0, 2);
    vectorsCheck_ = AddSwitch(&RadarAids::Vectors, 1);
    vectorMinutesCombo_ = new QComboBox(this);
    vectorMinutesCombo_->setObjectName(kVectorMinutesComboName);
    const AidNumber& minutes = NumberFor(&RadarAids::VectorMinutes);
    for (int m = minutes.Lowest; m <= minutes.Highest; ++m)
        vectorMinutesCombo_->addItem(QString("%1 min").arg(m), m);
    connect(vectorMinutesCombo_, &QComboBox::currentIndexChanged, this, &RadarAidsWindow::Apply);
    grid_->addWidget(vectorMinutesCombo_, 1, 1);
    dataBlockCheck_ = AddSwitch(&RadarAids::DataBlock, 2);
    labelsCheck_ = AddSwitch(&RadarAids::Labels, 3);
    ringsCheck_ = AddSwitch(&RadarAids::Rings, 4);
    ringSpacingSpin_ = AddNumber(&RadarAids::RingSpacingNm, "every", "nm", 4, 1);
    conflictsCheck_ = AddSwitch(&RadarAids::Conflicts, 5);
    conflictDistanceSpin_ = new QDoubleSpinBox(this);
    conflictDistanceSpin_->setObjectName(kConflictDistanceSpinName);
    conflictDistanceSpin_->setRange(kLowestConflictDistanceNm, kHighestConflictDistanceNm);
    conflictDistanceSpin_->setSingleStep(0.5);
    conflictDistanceSpin_->setDecimals(1);
    conflictDistanceSpin_->setPrefix("closer than ");
    conflictDistanceSpin_->setSuffix(" nm");
    connect(conflictDistanceSpin_, &QDoubleSpinBox::valueChanged, this, &RadarAidsWindow::Apply);
    grid_->addWidget(conflictDistanceSpin_, 5, 1);
    conflictAltitudeSpin_ = AddNumber(&RadarAids::ConflictAltitudeFt, "and", "ft", 5, 2);
    conflictLookaheadSpin_ = AddNumber(&RadarAids::ConflictLookaheadS, "within", "s", 5, 3);
    // What the alert leaves out, and its sound, under it.
    finalCheck_ = AddSwitch(&RadarAids::InhibitFinal, 6, true);
    finalCheck_->setToolTip(
        "No alert for two aircraft on the extended centreline of one runway of the area's "
        "airports, in trail and not closing fast");
    finalTrackSpin_ = AddNumber(&RadarAids::FinalTrackDeg, "track within", kDegrees, 6, 1);
    finalTrackSpin_->setToolTip("Both aircraft's tracks this close to the runway's course");
    finalDistanceSpin_ = AddNumber(&RadarAids::FinalDistanceNm, "within", "nm", 6, 2);
    finalDistanceSpin_->setToolTip("Both aircraft this close to the runway's threshold, or over the runway");
    finalClosingSpin_ = AddNumber(&RadarAids::FinalClosingKt, "closing up to", "kt", 6, 3);
    finalClosingSpin_->setToolTip("A pair closing faster than this is alerted all the same");
    circuitCheck_ = AddSwitch(&RadarAids::InhibitCircuit, 7, true);
    circuitCheck_->setToolTip("No alert for two aircraft low around one airport of the area");
    circuitRadiusSpin_ = AddNumber(&RadarAids::CircuitRadiusNm, "within", "nm", 7, 1);
    circuitRadiusSpin_->setToolTip("Both aircraft this close to the airport");
    circuitHeightSpin_ = AddNumber(&RadarAids::CircuitHeightFt, "below", "ft above it", 7, 2);
    circuitHeightSpin_->setToolTip("Both aircraft lower than this above the airport's elevation");
    alertSoundCheck_ = AddSwitch(&RadarAids::AlertSound, 8, true);
    alertSoundCheck_->setToolTip("The system's alert sound when a new conflict is listed");
    altitudeFilterCheck_ = AddSwitch(&RadarAids::AltitudeFilter, 9);
    lowestAltitudeSpin_ = AddNumber(&RadarAids::LowestAltitudeFt, "from", "ft", 9, 1);
    highestAltitudeSpin_ = AddNumber(&RadarAids::HighestAltitudeFt, "to", "ft", 9, 2);

    closeButton_ = new QPushButton("Close", this);
    closeButton_->setObjectName(kRadarAidsCloseButtonName);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(closeButton_, 0, Qt::AlignRight);
    ShowAids();
}

QCheckBox* RadarAidsWindow::AddSwitch(bool RadarAids::*field, int row, bool underConflicts) {
    const AidSwitch& aid = SwitchFor(field);
    auto* box = new QCheckBox(aid.Caption, this);
    box->setObjectName(AidCheckBoxName(field));
    if (underConflicts) box->setStyleSheet("QCheckBox { margin-left: 20px; }");
    connect(box, &QCheckBox::toggled, this, &RadarAidsWindow::Apply);
    grid_->addWidget(box, row, 0);
    return box;
}

QSpinBox* RadarAidsWindow::AddNumber(std::int32_t RadarAids::*field, const char* caption, const char* unit,
                                     int row, int column) {
    const AidNumber& number = NumberFor(field);
    auto* spin = new QSpinBox(this);
    spin->setObjectName(AidSpinBoxName(field));
    spin->setRange(number.Lowest, number.Highest);
    if (*caption != '\0') spin->setPrefix(QString(caption) + " ");
    const QString suffix = QString::fromUtf8(unit);
    spin->setSuffix(std::string_view(unit) == kDegrees ? suffix : " " + suffix);
    connect(spin, &QSpinBox::valueChanged, this, &RadarAidsWindow::Apply);
    grid_->addWidget(spin, row, column);
    return spin;
}

void RadarAidsWindow::ShowAids() {
    showing_ = true;
    historyCheck_->setChecked(aids_.History);
    historyDotsSpin_->setValue(aids_.HistoryDots);
    historySpacingSpin_->setValue(aids_.HistorySpacingS);
    vectorsCheck_->setChecked(aids_.Vectors);
    vectorMinutesCombo_->setCurrentIndex(vectorMinutesCombo_->findData(aids_.VectorMinutes));
    dataBlockCheck_->setChecked(aids_.DataBlock);
    labelsCheck_->setChecked(aids_.Labels);
    ringsCheck_->setChecked(aids_.Rings);
    ringSpacingSpin_->setValue(aids_.RingSpacingNm);
    conflictsCheck_->setChecked(aids_.Conflicts);
    conflictDistanceSpin_->setValue(aids_.ConflictDistanceNm);
    conflictAltitudeSpin_->setValue(aids_.ConflictAltitudeFt);
    conflictLookaheadSpin_->setValue(aids_.ConflictLookaheadS);
    finalCheck_->setChecked(aids_.InhibitFinal);
    finalTrackSpin_->setValue(aids_.FinalTrackDeg);
    finalDistanceSpin_->setValue(aids_.FinalDistanceNm);
    finalClosingSpin_->setValue(aids_.FinalClosingKt);
    circuitCheck_->setChecked(aids_.InhibitCircuit);
    circuitRadiusSpin_->setValue(aids_.CircuitRadiusNm);
    circuitHeightSpin_->setValue(aids_.CircuitHeightFt);
    alertSoundCheck_->setChecked(aids_.AlertSound);
    altitudeFilterCheck_->setChecked(aids_.AltitudeFilter);
    // The whole range first, so that neither end stops the other on its way.
    lowestAltitudeSpin_->setMaximum(NumberFor(&RadarAids::LowestAltitudeFt).Highest);
    highestAltitudeSpin_->setMinimum(NumberFor(&RadarAids::HighestAltitudeFt).Lowest);
    lowestAltitudeSpin_->setValue(aids_.LowestAltitudeFt);
    highestAltitudeSpin_->setValue(aids_.HighestAltitudeFt);
    KeepBandUpright();
    showing_ = false;
}

void RadarAidsWindow::Apply() {
    if (showing_) return;
    RadarAids aids = aids_;
    aids.History = historyCheck_->isChecked();
    aids.HistoryDots = historyDotsSpin_->value();
    aids.HistorySpacingS = historySpacingSpin_->value();
    aids.Vectors = vectorsCheck_->isChecked();
    aids.VectorMinutes = vectorMinutesCombo_->currentData().toInt();
    aids.DataBlock = dataBlockCheck_->isChecked();
    aids.Labels = labelsCheck_->isChecked();
    aids.Rings = ringsCheck_->isChecked();
    aids.RingSpacingNm = ringSpacingSpin_->value();
    aids.Conflicts = conflictsCheck_->isChecked();
    aids.ConflictDistanceNm = conflictDistanceSpin_->value();
    aids.ConflictAltitudeFt = conflictAltitudeSpin_->value();
    aids.ConflictLookaheadS = conflictLookaheadSpin_->value();
    aids.InhibitFinal = finalCheck_->isChecked();
    aids.FinalTrackDeg = finalTrackSpin_->value();
    aids.FinalDistanceNm = finalDistanceSpin_->value();
    aids.FinalClosingKt = finalClosingSpin_->value();
    aids.InhibitCircuit = circuitCheck_->isChecked();
    aids.CircuitRadiusNm = circuitRadiusSpin_->value();
    aids.CircuitHeightFt = circuitHeightSpin_->value();
    aids.AlertSound = alertSoundCheck_->isChecked();
    aids.AltitudeFilter = altitudeFilterCheck_->isChecked();
    aids.LowestAltitudeFt = lowestAltitudeSpin_->value();
    aids.HighestAltitudeFt = highestAltitudeSpin_->value();
    if (aids == aids_) return;
    aids_ = aids;
    KeepBandUpright();
    emit AidsChanged();
}

// Neither end of the altitude band can pass the other.
void RadarAidsWindow::KeepBandUpright() {
    lowestAltitudeSpin_->setMaximum(aids_.HighestAltitudeFt);
    highestAltitudeSpin_->setMinimum(aids_.LowestAltitudeFt);
}

}  // namespace tarnwick
