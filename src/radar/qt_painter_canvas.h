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

#include "radar/canvas.h"

namespace tarnwick {

class QtPainterCanvas : public Canvas {
   public:
    // The painter must be active on a device of the given size.
    QtPainterCanvas(QPainter& painter, int widthPx, int heightPx);

    void Clear() override;
    void MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t xs,
             std::int32_t ys, std::int32_t xe, std::int32_t ye) override;
    void SetPixelV(std::int32_t x, std::int32_t y, Rgb color) override;
    void TextOutA(std::int32_t x, std::int32_t y, const std::string& text) override;

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
    // Small ellipses (centre discs, gates) come by the thousand in a few
    // sizes and colours; each is drawn once and then copied.
    QHash<QPair<quint64, quint64>, QImage> smallEllipses_;
};

QColor ToQColor(Rgb color);

}  // namespace tarnwick
