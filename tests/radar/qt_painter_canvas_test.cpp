#include "radar/qt_painter_canvas.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <functional>

#include "radar/recording_canvas.h"

namespace tarnwick {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

QImage Paint(const std::function<void(Canvas&)>& draw, int width = 100, int height = 100) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtPainterCanvas canvas(painter, width, height);
    canvas.Clear();
    draw(canvas);
    painter.end();
    return image;
}

bool Is(const QImage& image, int x, int y, Rgb color) { return image.pixelColor(x, y) == ToQColor(color); }

int CountPixels(const QImage& image, Rgb color, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += Is(image, x, y, color);
    }
    return count;
}

TEST(QtPainterCanvas, ClearsToBlackAndSetsSinglePixels) {
    const QImage image = Paint([](Canvas& c) {
        c.SetPixelV(10, 20, kRed);
        c.SetPixelV(-1, 5, kRed);  // off the picture: ignored
        c.SetPixelV(100, 5, kRed);
    });
    EXPECT_EQ(CountPixels(image, kRed, image.rect()), 1);
    EXPECT_TRUE(Is(image, 10, 20, kRed));
    EXPECT_EQ(CountPixels(image, kBlack, image.rect()), 100 * 100 - 1);
}

TEST(QtPainterCanvas, UpsideDownRectanglesGiveTheSameFilledEllipse) {
    const auto disc = [](int l, int t, int r, int b) {
        return Paint([=](Canvas& c) {
            c.SetDrawColor(kRed);
            c.SetFillColor(kBlue);
            c.SetFillStyle(FillStyle::Solid);
            c.Ellipse(l, t, r, b);
        });
    };
    const QImage normal = disc(40, 40, 60, 60);
    const QImage upsideDown = disc(40, 60, 60, 40);
    const QImage mirrored = disc(60, 60, 40, 40);
    EXPECT_EQ(normal, upsideDown);
    EXPECT_EQ(normal, mirrored);
    EXPECT_TRUE(Is(normal, 50, 50, kBlue));
    EXPECT_GT(CountPixels(normal, kRed, normal.rect()), 40);
    // Inside the rectangle, the right and bottom edges excluded.
    EXPECT_EQ(CountPixels(normal, kRed, QRect(0, 0, 40, 100)), 0);
    EXPECT_EQ(CountPixels(normal, kRed, QRect(60, 0, 40, 100)), 0);
    EXPECT_EQ(CountPixels(normal, kRed, QRect(0, 60, 100, 40)), 0);
    // Transparent fill leaves the inside alone.
    const QImage ring = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.SetFillColor(kBlue);
        c.Ellipse(40, 60, 60, 40);
    });
    EXPECT_TRUE(Is(ring, 50, 50, kBlack));
    EXPECT_EQ(CountPixels(ring, kBlue, ring.rect()), 0);
}

TEST(QtPainterCanvas, ArcsRunCounterClockwiseFromStartToEndRadial) {
    // From the east radial to the north radial: the upper-right quarter only.
    const QImage quarter = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.Arc(20, 20, 80, 80, 90, 50, 50, 0);
    });
    EXPECT_GT(CountPixels(quarter, kRed, QRect(52, 18, 30, 30)), 20);
    EXPECT_EQ(CountPixels(quarter, kRed, QRect(0, 53, 100, 47)), 0);
    EXPECT_EQ(CountPixels(quarter, kRed, QRect(0, 0, 47, 100)), 0);
    // Swapping the radials draws the other three quarters.
    const QImage rest = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.Arc(20, 20, 80, 80, 50, 0, 90, 50);
    });
    EXPECT_EQ(CountPixels(rest, kRed, QRect(53, 18, 30, 30)), 0);
    EXPECT_GT(CountPixels(rest, kRed, QRect(0, 53, 100, 47)), 40);
    EXPECT_GT(CountPixels(rest, kRed, QRect(0, 0, 47, 100)), 40);
    // The radials are directions: points far outside the ellipse work the same.
    const QImage far = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.Arc(20, 80, 80, 20, 5000, 50, 50, -7000);
    });
    EXPECT_EQ(far, quarter);
}

TEST(QtPainterCanvas, WideStyledPensDrawSolidAndLinesAreNotAntiAliased) {
    const auto line = [](int width, LineStyle style) {
        return Paint([=](Canvas& c) {
            c.SetDrawColor(kRed);
            c.SetLineWidth(width);
            c.SetLineStyle(style);
            c.MoveToEx(0, 50);
            c.LineTo(99, 50);
        });
    };
    const QImage thinDash = line(1, LineStyle::Dash);
    const int thinDashCount = CountPixels(thinDash, kRed, thinDash.rect());
    EXPECT_GT(thinDashCount, 50);
    EXPECT_LT(thinDashCount, 95);
    const QImage thinDot = line(1, LineStyle::Dot);
    EXPECT_LT(CountPixels(thinDot, kRed, thinDot.rect()), 60);
    // Wider than one pixel: every column on the line is painted.
    const QImage wideDash = line(3, LineStyle::Dash);
    EXPECT_EQ(CountPixels(wideDash, kRed, QRect(2, 50, 96, 1)), 96);
    EXPECT_EQ(wideDash, line(3, LineStyle::Solid));

    const QImage diagonal = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.SetLineWidth(2);
        c.MoveToEx(3, 7);
        c.LineTo(91, 60);
    });
    const int colored = CountPixels(diagonal, kRed, diagonal.rect());
    EXPECT_EQ(colored + CountPixels(diagonal, kBlack, diagonal.rect()), 100 * 100);
}

TEST(QtPainterCanvas, FarEndPointsStillDrawTheVisiblePart) {
    const QImage image = Paint([](Canvas& c) {
        c.SetDrawColor(kRed);
        c.SetLineWidth(3);
        c.MoveToEx(-2000000000, 50);
        c.LineTo(2000000000, 50);
        c.MoveToEx(50, 50);
        c.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
        c.Arc(-2000000000, 2000000000, 2000000000, -2000000000, 0, 0, 99, 99);
    });
    EXPECT_EQ(CountPixels(image, kRed, QRect(0, 50, 100, 1)), 100);
}

TEST(QtPainterCanvas, TextHangsFromItsTopLeftCornerInTheDrawingColour) {
    const QImage image = Paint(
        [](Canvas& c) {
            c.SetDrawColor(kRed);
            c.SetFillColor(kBlue);
            c.SetFillStyle(FillStyle::Solid);
            c.TextOutA(20, 30, "KSEA 16L");
            c.TextOutA(20, 60, "");
        },
        200, 100);
    int top = 1000, left = 1000;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // Only the drawing colour: no background box, no blended edges.
            EXPECT_TRUE(Is(image, x, y, kRed) || Is(image, x, y, kBlack));
            if (image.pixelColor(x, y) != Qt::black) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
        }
    }
    EXPECT_GE(top, 30);
    EXPECT_LE(top, 36);
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 23);
    EXPECT_GT(CountPixels(image, kRed, image.rect()), 20);
}

// Labels are placed by their measured extents: the ink must stay inside, and
// a recording handed the scope font's table must measure alike. The boxes the
// map's texts are noted with, for the labels to keep clear of, are the same.
TEST(QtPainterCanvas, TextInkStaysInsideTheMeasuredExtentThatRecordingsShare) {
    const std::string label = "N123 Hdg: 270 Alt: 3500 W\xE9";
    TextExtent extent;
    std::vector<PixelBox> noted;
    const QImage image = Paint(
        [&](Canvas& c) {
            c.SetDrawColor(kRed);
            c.NoteTextsIn(&noted);
            c.TextOutA(10, 20, label);
            c.TextOutA(10, 40, "");
            c.NoteTextsIn(nullptr);
            extent = c.MeasureText(label);
        },
        400, 60);
    EXPECT_EQ(noted, (std::vector<PixelBox>{{10, 20, 10 + extent.Width, 20 + extent.Height}}));
    EXPECT_EQ(RecordingCanvas(QtTextMetrics(ScopeFont(QGuiApplication::font()))).MeasureText(label), extent);
    EXPECT_EQ(CountPixels(image, kRed, QRect(10, 20, extent.Width, extent.Height)),
              CountPixels(image, kRed, image.rect()));
    // Tight on the right: the last letter ends near the measured end.
    EXPECT_GT(CountPixels(image, kRed, QRect(10 + extent.Width - 12, 20, 12, extent.Height)), 0);
    EXPECT_EQ(RecordingCanvas().MeasureText(""), TextExtent{});
}

}  // namespace
}  // namespace tarnwick
