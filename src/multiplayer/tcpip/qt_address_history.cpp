#include "multiplayer/tcpip/qt_address_history.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

namespace tarnwick {
namespace {

constexpr const char* kKey = "Network/RecentHosts";

QSettings UserSettings() { return QSettings(QSettings::UserScope, "Tarnwick", "Tarnwick"); }

}  // namespace

std::vector<std::string> QtAddressHistory::Recent() const {
    // A hand-edited file may repeat itself; the first of each counts.
    std::vector<std::string> recent;
    for (const QString& address : UserSettings().value(kKey).toStringList()) {
        std::string text = address.trimmed().toStdString();
        if (text.empty() || std::find(recent.begin(), recent.end(), text) != recent.end()) continue;
        recent.push_back(std::move(text));
        if (recent.size() == kRememberedAddresses) break;
    }
    return recent;
}

void QtAddressHistory::Remember(std::string_view address) {
    QStringList stored;
    for (const std::string& kept : WithRecentAddress(Recent(), address))
        stored << QString::fromStdString(kept);
    UserSettings().setValue(kKey, stored);
}

}  // namespace tarnwick
