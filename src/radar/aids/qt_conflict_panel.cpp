#include "radar/aids/qt_conflict_panel.h"

#include <QApplication>
#include <QEvent>

#include "base/ansi.h"

namespace tarnwick {
namespace {

constexpr int kMarginPx = 8;

// A line of the list as rich text, its runs of spaces kept.
QString LineHtml(const std::string& line, const char* color) {
    QString text = QString::fromStdString(AnsiToUtf8(line)).toHtmlEscaped();
    text.replace("  ", "&nbsp; ");
    return QString("<div style=\"color: %1\">%2</div>").arg(color, text);
}

}  // namespace

ConflictPanel::ConflictPanel(QWidget* picture) : QLabel(picture), Sound([] { QApplication::beep(); }) {
    setObjectName(kConflictPanelName);
    setTextFormat(Qt::RichText);
    setStyleSheet(
        "QLabel { background: rgba(0, 0, 0, 200); border: 1px solid rgb(255, 0, 0); padding: 3px; "
        "font-weight: bold; }");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    picture->installEventFilter(this);
}

void ConflictPanel::ShowAlerts(const std::vector<ConflictAlert>& alerts, std::chrono::milliseconds now,
                               bool sound) {
    if (sound && Sound) Sound();
    if (alerts.empty()) {
        hide();
        clear();
        return;
    }
    QString html = LineHtml("CONFLICT ALERT", "#ff0000");
    for (const ConflictAlert& alert : alerts)
        html += LineHtml(AlertLine(alert, now), alert.Clear ? "#a0a0a0" : "#ff3030");
    setText(html);
    adjustSize();
    KeepInCorner();
    show();
    raise();
}

bool ConflictPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) KeepInCorner();
    return QLabel::eventFilter(watched, event);
}

void ConflictPanel::KeepInCorner() {
    const auto* picture = parentWidget();
    move(picture->width() - width() - kMarginPx, kMarginPx);
}

}  // namespace tarnwick
