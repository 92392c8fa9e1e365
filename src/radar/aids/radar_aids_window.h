#pragma once
// "Radar aids", from the radar window's Options menu: a check box per aid and
// its values. Every change applies at once to the scope behind it, which
// stays live: this window does not lock the radar window.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

#include "state/radar_aids.h"

class QGridLayout;

namespace tarnwick {

class RadarAidsWindow : public QWidget {
    Q_OBJECT
   public:
    explicit RadarAidsWindow(RadarAids& aids, QWidget* parent = nullptr);

    // The aids changed elsewhere (the radar window's shortcuts).
    void ShowAids();

   signals:
    void AidsChanged();

   private:
    // Switches under the conflict alert's are indented.
    QCheckBox* AddSwitch(bool RadarAids::*field, int row, bool underConflicts = false);
    QSpinBox* AddNumber(std::int32_t RadarAids::*field, const char* caption, const char* unit, int row,
                        int column);
    void Apply();
    void KeepBandUpright();

    RadarAids& aids_;
    bool showing_ = false;
    QGridLayout* grid_;

    QCheckBox* historyCheck_;
    QSpinBox* historyDotsSpin_;
    QSpinBox* historySpacingSpin_;
    QCheckBox* vectorsCheck_;
    QComboBox* vectorMinutesCombo_;
    QCheckBox* dataBlockCheck_;
    QCheckBox* labelsCheck_;
    QCheckBox* ringsCheck_;
    QSpinBox* ringSpacingSpin_;
    QCheckBox* conflictsCheck_;
    QDoubleSpinBox* conflictDistanceSpin_;
    QSpinBox* conflictAltitudeSpin_;
    QSpinBox* conflictLookaheadSpin_;
    QCheckBox* finalCheck_;
    QSpinBox* finalTrackSpin_;
    QSpinBox* finalDistanceSpin_;
    QSpinBox* finalClosingSpin_;
    QCheckBox* circuitCheck_;
    QSpinBox* circuitRadiusSpin_;
    QSpinBox* circuitHeightSpin_;
    QCheckBox* alertSoundCheck_;
    QCheckBox* altitudeFilterCheck_;
    QSpinBox* lowestAltitudeSpin_;
    QSpinBox* highestAltitudeSpin_;
    QPushButton* closeButton_;
};

// The window's and its controls' object names, by which tests find them.
inline constexpr char kRadarAidsWindowName[] = "FormRadarAids";
inline constexpr char kVectorMinutesComboName[] = "vectorMinutesCombo";
inline constexpr char kConflictDistanceSpinName[] = "conflictDistanceSpin";
inline constexpr char kRadarAidsCloseButtonName[] = "closeButton";
// The other boxes are named from their aid's or value's name in the aids'
// tables: "history-dots" gives "historyDotsSpin", "history" "historyCheck".
QString AidCheckBoxName(bool RadarAids::*field);
QString AidSpinBoxName(std::int32_t RadarAids::*field);

}  // namespace tarnwick
