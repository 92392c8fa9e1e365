#include "radar/qt_user_guide.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "base/program_folders.h"
#include "base/user_guide.h"

namespace tarnwick {

void OpenUserGuide(MessageBoxes& boxes, const std::filesystem::path& executableFolder) {
    const std::filesystem::path guide = FindUserGuide(executableFolder);
    if (guide.empty()) {
        boxes.Inform(UserGuideMissingMessage(UserGuidePath(executableFolder)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(guide.string()))))
        boxes.Inform("No program of this desktop opens the user's guide. It is the file " + guide.string() +
                     ", to be read in any text editor or Markdown viewer.");
}

void OpenUserGuide(MessageBoxes& boxes) { OpenUserGuide(boxes, ExecutableFolder()); }

}  // namespace tarnwick
