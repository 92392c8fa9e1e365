#include "radar/qt_view_store.h"

#include <QSettings>
#include <QString>

#include "base/ansi.h"

namespace tarnwick {
namespace {

constexpr const char* kGroup = "RadarViews";

QSettings UserSettings() { return QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick"); }

}  // namespace

std::optional<RememberedView> LoadRememberedView(const std::string& areaKey) {
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    return ParseRememberedView(
        settings.value(QString::fromStdString(AnsiToUtf8(areaKey))).toString().toStdString());
}

void SaveRememberedView(const std::string& areaKey, const RememberedView& view) {
    QSettings settings = UserSettings();
    settings.beginGroup(kGroup);
    settings.setValue(QString::fromStdString(AnsiToUtf8(areaKey)),
                      QString::fromStdString(FormatRememberedView(view)));
}

}  // namespace tarnwick
