#include "radar/aids/qt_radar_aids_store.h"

#include <QSettings>
#include <QString>
#include <algorithm>

namespace tarnwick {
namespace {

constexpr const char* kGroup = "RadarAids";

QSettings UserSettings() { return QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick"); }

}  // namespace

RadarAids LoadRadarAids() {
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    RadarAids aids;
    for (const AidSwitch& aid : kAidSwitches)
        aids.*aid.Field = settings.value(aid.Name, aids.*aid.Field).toBool();
    for (const AidNumber& number : kAidNumbers) {
        bool ok = false;
        const qlonglong value = settings.value(number.Name).toLongLong(&ok);
        if (ok)
            aids.*number.Field =
                static_cast<std::int32_t>(std::clamp<qlonglong>(value, number.Lowest, number.Highest));
    }
    bool ok = false;
    const double distance = settings.value(kConflictDistanceName).toDouble(&ok);
    if (ok) aids.ConflictDistanceNm = distance;
    return Clamped(aids);
}

void SaveRadarAids(const RadarAids& aids) {
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    for (const AidSwitch& aid : kAidSwitches) settings.setValue(aid.Name, aids.*aid.Field);
    for (const AidNumber& number : kAidNumbers) settings.setValue(number.Name, aids.*number.Field);
    settings.setValue(kConflictDistanceName, aids.ConflictDistanceNm);
}

}  // namespace tarnwick
