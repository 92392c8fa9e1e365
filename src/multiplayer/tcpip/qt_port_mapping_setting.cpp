#include "multiplayer/tcpip/qt_port_mapping_setting.h"

#include <QSettings>

namespace tarnwick {
namespace {

constexpr const char* kKey = "Network/OpenRouterPorts";

QSettings UserSettings() { return QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick"); }

}  // namespace

bool QtPortMappingSetting::Enabled() const { return UserSettings().value(kKey, true).toBool(); }

void QtPortMappingSetting::SetEnabled(bool enabled) { UserSettings().setValue(kKey, enabled); }

}  // namespace tarnwick
