#include "bars/TdxBarPainter.h"

#include "platform/gfx/TCanvas.h"

namespace bars {

TColor light_face() { return gfx::shifted_color(clBtnFace, 10, 10, 10); }
TColor checked_face() { return gfx::shifted_color(clBtnFace, 0, 0, 16); }
TColor pressed_face() { return gfx::shifted_color(clBtnFace, -79, -62, -18); }
TColor hot_face() { return gfx::shifted_color(clHighlight, 172, 153, 104); }

void fill(TCanvas& canvas, const TRect& r, TColor color) {
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

void frame(TCanvas& canvas, const TRect& r, TColor color) {
    canvas.Brush().SetColor(color);
    canvas.FrameRect(r);
}

void paint_grip(TCanvas& canvas, const TRect& r, bool horizontalBar, TColor background) {
    const TColor shadow = ColorToRGB(clBtnShadow);
    const TColor back = ColorToRGB(background);
    if (horizontalBar) {
        for (int y = r.Top; y < r.Bottom; ++y) fill(canvas, TRect{r.Left, y, r.Right, y + 1}, ((y - r.Top) & 1) ? back : shadow);
    } else {
        for (int x = r.Left; x < r.Right; ++x) fill(canvas, TRect{x, r.Top, x + 1, r.Bottom}, ((x - r.Left) & 1) ? back : shadow);
    }
}

void paint_separator(TCanvas& canvas, const TRect& gap, bool horizontalBar, TColor background) {
    if (horizontalBar) {
        const int x = gap.Left + (gap.Width() - 2) / 2;
        fill(canvas, TRect{x, gap.Top, x + 1, gap.Bottom}, clBtnShadow);
        fill(canvas, TRect{x + 1, gap.Top, x + 2, gap.Bottom}, background);
    } else {
        const int y = gap.Top + (gap.Height() - 2) / 2;
        fill(canvas, TRect{gap.Left, y, gap.Right, y + 1}, clBtnShadow);
        fill(canvas, TRect{gap.Left, y + 1, gap.Right, y + 2}, background);
    }
}

void paint_down_arrow(TCanvas& canvas, int centerX, int top, TColor color) {
    for (int i = 0; i < 3; ++i) fill(canvas, TRect{centerX - 2 + i, top + i, centerX + 3 - i, top + i + 1}, color);
}

void paint_flat_button_face(TCanvas& canvas, const TRect& r, bool hot, bool checked, TColor background) {
    TColor face = background;
    if (checked && hot) face = pressed_face();
    else if (checked) face = checked_face();
    else if (hot) face = hot_face();
    fill(canvas, r, face);
    if (hot || checked) frame(canvas, r, clHighlight);
}

}  // namespace bars
