#pragma once
// A canvas that keeps every drawing call with the state in force, for tests
// and for the scope dump of the render tool. The printed form is one line per
// call and is read by scripts, so it stays stable.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "radar/canvas.h"

namespace tarnwick {

enum class CallKind { Clear, SetPixelV, MoveToEx, LineTo, Ellipse, Arc, TextOutA };

struct RecordedCall {
    CallKind Kind = CallKind::Clear;
    // The integer arguments in call order; unused ones stay 0.
    std::array<std::int32_t, 8> Args{};
    CanvasState State;
    Rgb PixelColor;    // SetPixelV only
    std::string Text;  // TextOutA only, ANSI bytes
};

class RecordingCanvas : public Canvas {
   public:
    // Texts are measured with `metrics`: the window's font's, for a recording
    // that is to place labels as the window does.
    explicit RecordingCanvas(const TextMetrics& metrics = DefaultTextMetrics()) : metrics_(metrics) {}

    void Clear() override;
    void MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t xs,
             std::int32_t ys, std::int32_t xe, std::int32_t ye) override;
    void SetPixelV(std::int32_t x, std::int32_t y, Rgb color) override;
    const TextMetrics& Metrics() const override { return metrics_; }

    const std::vector<RecordedCall>& Calls() const { return calls_; }

    // Plays the recorded calls, with their states, onto another canvas.
    void Replay(Canvas& target) const;

   protected:
    void WriteText(std::int32_t x, std::int32_t y, const std::string& text) override;

   private:
    RecordedCall& Add(CallKind kind);
    TextMetrics metrics_;
    std::vector<RecordedCall> calls_;
};

// "#rrggbb"
std::string FormatColor(Rgb color);

// One line of the dump, without the line end; the text is shown as UTF-8.
// A clear has no line of its own and gives an empty string.
std::string FormatCall(const RecordedCall& call);

}  // namespace tarnwick
