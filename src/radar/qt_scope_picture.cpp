#include "radar/qt_scope_picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "radar/pointer_readouts.h"

namespace tarnwick {
namespace {

constexpr int kWheelNotch = 120;

// The picture's code of one button; other buttons do nothing.
int ButtonCode(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return kLeftButton;
    if (button == Qt::RightButton) return kRightButton;
    return 0;
}

}  // namespace

ScopePicture::ScopePicture(QWidget* parent) : QWidget(parent) {
    setObjectName(kScopePictureName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(kInitialWidth, kInitialHeight);
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(Qt::black);
}

void ScopePicture::ClearImage() {
    image_.fill(Qt::black);
    update();
}

void ScopePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

void ScopePicture::resizeEvent(QResizeEvent* event) {
    if (event->size() != image_.size() && !event->size().isEmpty()) {
        // What was drawn stays where it was until the next redraw.
        QImage resized(event->size(), QImage::Format_RGB32);
        resized.fill(Qt::black);
        QPainter(&resized).drawImage(0, 0, image_);
        image_ = resized;
    }
    if (OnResized) OnResized();
}

void ScopePicture::mousePressEvent(QMouseEvent* event) {
    // The other button while one is held is a combination.
    const bool alone = (event->buttons() & ~event->button()) == Qt::NoButton;
    const int button = alone ? ButtonCode(event->button()) : 0;
    if (button != 0 && OnButtonDown) OnButtonDown(button, event->position());
    event->accept();
}

void ScopePicture::mouseMoveEvent(QMouseEvent* event) {
    if (OnPointerMove) OnPointerMove(event->position());
    event->accept();
}

void ScopePicture::mouseReleaseEvent(QMouseEvent* event) {
    // A release is of one button, whatever else is still held: the left
    // button coming up ends measuring even while another one is down.
    const int button = ButtonCode(event->button());
    if (button != 0 && OnButtonUp) OnButtonUp(button);
    event->accept();
}

void ScopePicture::leaveEvent(QEvent* event) {
    if (OnPointerLeft) OnPointerLeft();
    QWidget::leaveEvent(event);
}

void ScopePicture::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0 && OnWheel) OnWheel(notches, (event->modifiers() & Qt::ControlModifier) != 0);
    event->accept();
}

}  // namespace tarnwick
