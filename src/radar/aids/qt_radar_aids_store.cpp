#include "radar/aids/qt_radar_aids_store.h"

#include <QSettings>
#include <QString>
#include <algorithm>

namespace tarnwick {
namespace {

constexpr const char* kGroup = "RadarAids";

QSettings UserSettings() { return QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick"); }

// Every switch by its key: the aids, the conflict alert's inhibitions and its sound.
template <typename Visit>
void ForEachSwitch(Visit visit) {
    for (const AidSwitch& aid : kAidSwitches) visit(QString(aid.Name), aid.Field);
    for (const AidSwitch& inhibition : kInhibitions)
        visit(QString(kInhibitionKeyPrefix) + inhibition.Name, inhibition.Field);
    visit(QString(kAlertSound.Name), kAlertSound.Field);
}

}  // namespace

RadarAids LoadRadarAids() {
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    RadarAids aids;
    ForEachSwitch([&](const QString& key, bool RadarAids::*field) {
        aids.*field = settings.value(key, aids.*field).toBool();
    });
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
    ForEachSwitch([&](const QString& key, bool RadarAids::*field) { settings.setValue(key, aids.*field); });
    for (const AidNumber& number : kAidNumbers) settings.setValue(number.Name, aids.*number.Field);
    settings.setValue(kConflictDistanceName, aids.ConflictDistanceNm);
}

}  // namespace tarnwick
