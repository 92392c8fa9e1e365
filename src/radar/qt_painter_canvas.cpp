#include "radar/qt_painter_canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

#include "base/ansi.h"

namespace tarnwick {

namespace {

// The dash and dot patterns of a one-pixel Windows pen, in pixels.
const QList<qreal> kDashPattern{18, 6};
const QList<qreal> kDotPattern{3, 3};

// Far-off end points are cut back to a margin around the picture so the
// rasteriser never sees coordinates it cannot hold; what is visible stays put.
constexpr double kClipMargin = 64.0;

constexpr int kSmallEllipsePx = 40;
constexpr int kSpriteMargin = 4;  // room for a wide pen outside the rectangle
constexpr qsizetype kMaxSprites = 256;

bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double minX, double minY, double maxX,
                 double maxY) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - minX, maxX - x0, y0 - minY, maxY - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const double sx = x0;
    const double sy = y0;
    x0 = sx + t0 * dx;
    y0 = sy + t0 * dy;
    x1 = sx + t1 * dx;
    y1 = sy + t1 * dy;
    return true;
}

// The angle of a radial in Qt's terms: counter-clockwise from three o'clock,
// measured on the ellipse's own parameter so that the arc ends where the
// radial through the point crosses the ellipse.
double RadialAngle(double cx, double cy, double halfWidth, double halfHeight, double x, double y) {
    return std::atan2(-(y - cy) / halfHeight, (x - cx) / halfWidth) * 180.0 / M_PI;
}

}  // namespace

QColor ToQColor(Rgb color) { return QColor(color.R, color.G, color.B); }

QFont ScopeFont(const QFont& pictureFont) {
    QFont font = pictureFont;
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

TextMetrics QtTextMetrics(const QFont& font) {
    const QFontMetrics measure(font);
    TextMetrics metrics;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string ansi(1, static_cast<char>(byte));
        const int advance = measure.horizontalAdvance(QString::fromStdString(AnsiToUtf8(ansi)));
        metrics.Advance[static_cast<std::size_t>(byte)] =
            static_cast<std::uint8_t>(std::clamp(advance, 0, 255));
    }
    metrics.LineHeight = measure.height();
    return metrics;
}

QtPainterCanvas::QtPainterCanvas(QPainter& painter, int widthPx, int heightPx)
    : painter_(painter), width_(widthPx), height_(heightPx) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(Qt::TransparentMode);
    const QFont font = ScopeFont(painter_.font());
    painter_.setFont(font);
    ascent_ = QFontMetrics(font).ascent();
}

QtPainterCanvas::QtPainterCanvas(QPainter& painter, int widthPx, int heightPx, const TextMetrics& metrics)
    : QtPainterCanvas(painter, widthPx, heightPx) {
    metrics_ = metrics;
}

const TextMetrics& QtPainterCanvas::Metrics() const {
    if (!metrics_) metrics_ = QtTextMetrics(painter_.font());
    return *metrics_;
}

QPen QtPainterCanvas::CurrentPen() const {
    const CanvasState& state = State();
    QPen pen(ToQColor(state.DrawColor));
    pen.setWidth(std::max(1, state.LineWidth));
    // Square ends cover the end points of wide lines without the cost of
    // round ones, which come out nearly the same at two or three pixels.
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Windows draws styled pens only one pixel wide; wider ones come out solid.
    if (state.LineWidth <= 1 && state.Line != LineStyle::Solid) {
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern(state.Line == LineStyle::Dash ? kDashPattern : kDotPattern);
    }
    return pen;
}

void QtPainterCanvas::UsePen() {
    painter_.setPen(CurrentPen());
    const CanvasState& state = State();
    if (state.Fill == FillStyle::Solid) {
        painter_.setBrush(ToQColor(state.FillColor));
    } else {
        painter_.setBrush(Qt::NoBrush);
    }
}

bool QtPainterCanvas::OffPicture(double l, double t, double r, double b) const {
    const double pen = std::max(1, State().LineWidth);
    return r + pen < 0 || b + pen < 0 || l - pen > width_ || t - pen > height_;
}

void QtPainterCanvas::Clear() { painter_.fillRect(0, 0, width_, height_, Qt::black); }

void QtPainterCanvas::MoveToEx(std::int32_t x, std::int32_t y) { position_ = QPoint(x, y); }

void QtPainterCanvas::LineTo(std::int32_t x, std::int32_t y) {
    double x0 = position_.x();
    double y0 = position_.y();
    double x1 = x;
    double y1 = y;
    position_ = QPoint(x, y);
    if (!ClipSegment(x0, y0, x1, y1, -kClipMargin, -kClipMargin, width_ + kClipMargin,
                     height_ + kClipMargin)) {
        return;
    }
    painter_.setPen(CurrentPen());
    painter_.drawLine(QLineF(x0, y0, x1, y1));
}

void QtPainterCanvas::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    // In 64 bits: the sides of a far-off ellipse do not fit 32.
    const std::int64_t l = std::min(left, right);
    const std::int64_t r = std::max(left, right);
    const std::int64_t t = std::min(top, bottom);
    const std::int64_t b = std::max(top, bottom);
    if (r - l < 2 || b - t < 2 ||
        OffPicture(static_cast<double>(l), static_cast<double>(t), static_cast<double>(r),
                   static_cast<double>(b))) {
        return;
    }
    if (r - l <= kSmallEllipsePx && b - t <= kSmallEllipsePx) {
        const int x = static_cast<int>(l);
        const int y = static_cast<int>(t);
        painter_.drawImage(x - kSpriteMargin, y - kSpriteMargin,
                           SmallEllipse(static_cast<int>(r - l), static_cast<int>(b - t)));
        return;
    }
    UsePen();
    // Windows keeps the shape inside the rectangle, right and bottom edges excluded.
    painter_.drawEllipse(QRectF(static_cast<double>(l), static_cast<double>(t),
                                static_cast<double>(r - l - 1), static_cast<double>(b - t - 1)));
}

const QImage& QtPainterCanvas::SmallEllipse(int width, int height) {
    const CanvasState& state = State();
    const auto rgb = [](Rgb c) { return quint64{c.R} << 16 | quint64{c.G} << 8 | quint64{c.B}; };
    const QPair<quint64, quint64> key{quint64(width) | quint64(height) << 12 | rgb(state.DrawColor) << 24 |
                                          quint64(state.LineWidth & 0xff) << 48 | quint64(state.Line) << 56,
                                      state.Fill == FillStyle::Solid ? (rgb(state.FillColor) << 1 | 1) : 0};
    auto found = smallEllipses_.find(key);
    if (found != smallEllipses_.end()) return *found;
    if (smallEllipses_.size() > kMaxSprites) smallEllipses_.clear();
    const int pen = std::max(1, state.LineWidth);
    QImage sprite(width + 2 * kSpriteMargin + pen, height + 2 * kSpriteMargin + pen,
                  QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(CurrentPen());
    painter.setBrush(state.Fill == FillStyle::Solid ? QBrush(ToQColor(state.FillColor)) : QBrush());
    painter.drawEllipse(QRectF(kSpriteMargin, kSpriteMargin, width - 1, height - 1));
    painter.end();
    return *smallEllipses_.insert(key, sprite);
}

void QtPainterCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye) {
    const double l = std::min(left, right);
    const double r = std::max(left, right);
    const double t = std::min(top, bottom);
    const double b = std::max(top, bottom);
    if (r - l < 2 || b - t < 2 || OffPicture(l, t, r, b)) return;
    const double cx = (l + r) / 2.0;
    const double cy = (t + b) / 2.0;
    const double start = RadialAngle(cx, cy, (r - l) / 2.0, (b - t) / 2.0, xs, ys);
    const double end = RadialAngle(cx, cy, (r - l) / 2.0, (b - t) / 2.0, xe, ye);
    double span = end - start;
    while (span <= 0.0) span += 360.0;  // equal radials draw the whole ellipse
    painter_.setPen(CurrentPen());
    painter_.setBrush(Qt::NoBrush);
    painter_.drawArc(QRectF(l, t, r - l - 1, b - t - 1), static_cast<int>(std::lround(start * 16)),
                     static_cast<int>(std::lround(span * 16)));
}

void QtPainterCanvas::SetPixelV(std::int32_t x, std::int32_t y, Rgb color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    painter_.fillRect(x, y, 1, 1, ToQColor(color));
}

void QtPainterCanvas::WriteText(std::int32_t x, std::int32_t y, const std::string& text) {
    if (text.empty()) return;
    if (x > width_ || y > height_ || x < -4096 || y < -4096) return;
    painter_.setPen(ToQColor(State().DrawColor));
    painter_.drawText(QPoint(x, y + ascent_), QString::fromStdString(AnsiToUtf8(text)));
}

}  // namespace tarnwick
