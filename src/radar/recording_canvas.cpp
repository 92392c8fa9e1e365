#include "radar/recording_canvas.h"

#include <cstdio>

#include "base/ansi.h"

namespace tarnwick {

RecordedCall& RecordingCanvas::Add(CallKind kind) {
    RecordedCall& call = calls_.emplace_back();
    call.Kind = kind;
    call.State = State();
    return call;
}

void RecordingCanvas::Clear() { Add(CallKind::Clear); }

void RecordingCanvas::MoveToEx(std::int32_t x, std::int32_t y) { Add(CallKind::MoveToEx).Args = {x, y}; }

void RecordingCanvas::LineTo(std::int32_t x, std::int32_t y) { Add(CallKind::LineTo).Args = {x, y}; }

void RecordingCanvas::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Add(CallKind::Ellipse).Args = {left, top, right, bottom};
}

void RecordingCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye) {
    Add(CallKind::Arc).Args = {left, top, right, bottom, xs, ys, xe, ye};
}

void RecordingCanvas::SetPixelV(std::int32_t x, std::int32_t y, Rgb color) {
    RecordedCall& call = Add(CallKind::SetPixelV);
    call.Args = {x, y};
    call.PixelColor = color;
}

void RecordingCanvas::WriteText(std::int32_t x, std::int32_t y, const std::string& text) {
    RecordedCall& call = Add(CallKind::TextOutA);
    call.Args = {x, y};
    call.Text = text;
}

void RecordingCanvas::Replay(Canvas& target) const {
    for (const RecordedCall& call : calls_) {
        target.SetDrawColor(call.State.DrawColor);
        target.SetLineWidth(call.State.LineWidth);
        target.SetLineStyle(call.State.Line);
        target.SetFillColor(call.State.FillColor);
        target.SetFillStyle(call.State.Fill);
        const auto& a = call.Args;
        switch (call.Kind) {
            case CallKind::Clear:
                target.Clear();
                break;
            case CallKind::SetPixelV:
                target.SetPixelV(a[0], a[1], call.PixelColor);
                break;
            case CallKind::MoveToEx:
                target.MoveToEx(a[0], a[1]);
                break;
            case CallKind::LineTo:
                target.LineTo(a[0], a[1]);
                break;
            case CallKind::Ellipse:
                target.Ellipse(a[0], a[1], a[2], a[3]);
                break;
            case CallKind::Arc:
                target.Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
                break;
            case CallKind::TextOutA:
                target.TextOutA(a[0], a[1], call.Text);
                break;
        }
    }
}

std::string FormatColor(Rgb color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color.R, color.G, color.B);
    return text;
}

namespace {

const char* StyleName(LineStyle style) {
    switch (style) {
        case LineStyle::Dash:
            return "dash";
        case LineStyle::Dot:
            return "dot";
        case LineStyle::Solid:
            break;
    }
    return "solid";
}

std::string Pen(const CanvasState& state) {
    return "pen=" + FormatColor(state.DrawColor) + "/" + std::to_string(state.LineWidth) + "/" +
           StyleName(state.Line);
}

std::string Fill(const CanvasState& state) {
    return "fill=" + FormatColor(state.FillColor) + "/" +
           (state.Fill == FillStyle::Solid ? "solid" : "transparent");
}

std::string Numbers(const RecordedCall& call, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += ' ';
        text += std::to_string(call.Args[static_cast<std::size_t>(i)]);
    }
    return text;
}

// Quotes and backslashes are escaped so that every line splits the same way.
std::string Quoted(const std::string& ansi) {
    std::string text = "\"";
    for (char c : AnsiToUtf8(ansi)) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + "\"";
}

}  // namespace

std::string FormatCall(const RecordedCall& call) {
    switch (call.Kind) {
        case CallKind::Clear:
            return {};
        case CallKind::SetPixelV:
            return "SetPixelV" + Numbers(call, 2) + " " + FormatColor(call.PixelColor);
        case CallKind::MoveToEx:
            return "MoveToEx" + Numbers(call, 2);
        case CallKind::LineTo:
            return "LineTo" + Numbers(call, 2) + " " + Pen(call.State);
        case CallKind::Ellipse:
            return "Ellipse" + Numbers(call, 4) + " " + Pen(call.State) + " " + Fill(call.State);
        case CallKind::Arc:
            return "Arc" + Numbers(call, 8) + " " + Pen(call.State);
        case CallKind::TextOutA:
            return "TextOutA" + Numbers(call, 2) + " " + FormatColor(call.State.DrawColor) + " " +
                   Quoted(call.Text);
    }
    return {};
}

}  // namespace tarnwick
