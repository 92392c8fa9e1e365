#pragma once
// The drawing surface of the scope, shaped after the Windows device context the
// scope was designed for: a drawing state (pen colour, width and style; fill
// colour and style) that stays in force until changed, and a small set of calls
// in integer pixel coordinates. Layers draw through this interface only, so a
// redraw can go to the screen, to an image or to a recording.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "radar/text_metrics.h"

namespace tarnwick {

struct Rgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    bool operator==(const Rgb&) const = default;
};

enum class LineStyle { Solid, Dash, Dot };
enum class FillStyle { Solid, Transparent };

// The picture's colours and the state a redraw pass leaves behind.
inline constexpr Rgb kScopeGreen{0, 192, 0};
inline constexpr Rgb kBlack{0, 0, 0};

struct CanvasState {
    Rgb DrawColor = kScopeGreen;
    std::int32_t LineWidth = 1;
    LineStyle Line = LineStyle::Solid;
    Rgb FillColor = kBlack;
    FillStyle Fill = FillStyle::Transparent;
    bool operator==(const CanvasState&) const = default;
};

class Canvas {
   public:
    virtual ~Canvas() = default;

    void SetDrawColor(Rgb color) { state_.DrawColor = color; }
    void SetLineWidth(std::int32_t width) { state_.LineWidth = width; }
    void SetLineStyle(LineStyle style) { state_.Line = style; }
    void SetFillColor(Rgb color) { state_.FillColor = color; }
    void SetFillStyle(FillStyle style) { state_.Fill = style; }
    const CanvasState& State() const { return state_; }
    void ResetState() { state_ = CanvasState{}; }

    // Fills the whole picture with its black background.
    virtual void Clear() = 0;
    // Sets the current position; LineTo draws from it with the pen and moves it.
    virtual void MoveToEx(std::int32_t x, std::int32_t y) = 0;
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
    // The ellipse inside a bounding rectangle whose corners may come in any
    // order, outlined with the pen and filled when the fill style is solid.
    virtual void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    // Counter-clockwise on the ellipse of the rectangle, from the radial through
    // (xs, ys) to the radial through (xe, ye).
    virtual void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye) = 0;
    virtual void SetPixelV(std::int32_t x, std::int32_t y, Rgb color) = 0;
    // ANSI text in the drawing colour, its top-left corner at the point, on a
    // transparent background.
    void TextOutA(std::int32_t x, std::int32_t y, const std::string& text) {
        if (notedTexts_ && !text.empty()) notedTexts_->push_back(TextBoxAt(Metrics(), x, y, text));
        WriteText(x, y, text);
    }

    // The table TextOutA's texts are measured with, for placing them.
    virtual const TextMetrics& Metrics() const = 0;
    TextExtent MeasureText(std::string_view line) const { return MeasureLine(Metrics(), line); }

    // While given a list, the box of every text written is added to it, as
    // measured: the map's texts, which the label placement keeps clear of.
    // Nothing drawn changes. Null stops the noting.
    void NoteTextsIn(std::vector<PixelBox>* boxes) { notedTexts_ = boxes; }

   protected:
    virtual void WriteText(std::int32_t x, std::int32_t y, const std::string& text) = 0;

   private:
    CanvasState state_;
    std::vector<PixelBox>* notedTexts_ = nullptr;
};

}  // namespace tarnwick
