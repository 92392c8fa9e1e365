#pragma once
// The scope's canvas on a QPainter, with the meaning the layers expect from a
// Windows device context: rectangles may come upside down, arcs run
// counter-clockwise between two radials, a wide dashed or dotted pen draws
// solid, text hangs from its top-left corner on a transparent background, and
// nothing is anti-aliased.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPair>
#include <QPoint>
#include <optional>

#include "radar/canvas.h"

namespace tarnwick {

class QtPainterCanvas : public Canvas {
   public:
    // The painter must be active on a device of the given size. Texts are
    // measured with the scope font's metrics, worked out when first asked for,
    // or with the table given (the same font's, kept by the caller).
    QtPainterCanvas(QPainter& painter, int widthPx, int heightPx);
    QtPainterCanvas(QPainter& painter, int widthPx, int heightPx, const TextMetrics& metrics);

    void Clear() override;
    void MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t xs,
             std::int32_t ys, std::int32_t xe, std::int32_t ye) override;
    void SetPixelV(std::int32_t x, std::int32_t y, Rgb color) override;
    const TextMetrics& Metrics() const override;

   protected:
    void WriteText(std::int32_t x, std::int32_t y, const std::string& text) override;

   private:
    QPen CurrentPen() const;
    void UsePen();
    bool OffPicture(double l, double t, double r, double b) const;
    const QImage& SmallEllipse(int width, int height);

    QPainter& painter_;
    int width_;
    int height_;
    QPoint position_;
    int ascent_ = 0;
    mutable std::optional<TextMetrics> metrics_;
    // Small ellipses (centre discs, gates) come by the thousand in a few
    // sizes and colours; each is drawn once and then copied.
    QHash<QPair<quint64, quint64>, QImage> smallEllipses_;
};

QColor ToQColor(Rgb color);

// The font the scope writes with: the picture's own, without anti-aliasing,
// so that labels stay crisp in the scope's few colours.
QFont ScopeFont(const QFont& pictureFont);

// A font's advance for each Windows-1252 byte and its line height.
TextMetrics QtTextMetrics(const QFont& font);

}  // namespace tarnwick
