#include "platform/forms/TPanel.h"

#include "platform/gfx/TCanvas.h"

#include <algorithm>

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 185, 41); }

void TPanel::Changed() {
    if (Loading()) return;
    Realign();
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value) {
    if (value == m_bevelOuter) return;
    m_bevelOuter = value;
    Changed();
}

void TPanel::SetBevelInner(TPanelBevel value) {
    if (value == m_bevelInner) return;
    m_bevelInner = value;
    Changed();
}

void TPanel::SetBevelWidth(int value) {
    value = std::max(value, 1);
    if (value == m_bevelWidth) return;
    m_bevelWidth = value;
    Changed();
}

void TPanel::SetBorderWidth(int value) {
    value = std::max(value, 0);
    if (value == m_borderWidth) return;
    m_borderWidth = value;
    Changed();
}

void TPanel::SetAlignment(TAlignment value) {
    if (value == m_alignment) return;
    m_alignment = value;
    if (!Loading()) Invalidate();
}

void TPanel::AdjustClientRect(TRect& rect) const {
    int inset = m_borderWidth;
    if (m_bevelOuter != bvNone) inset += m_bevelWidth;
    if (m_bevelInner != bvNone) inset += m_bevelWidth;
    rect = gfx::inflate(rect, -inset, -inset);
}

namespace {

// A bevel of `width` pixels: light on the top and left, dark on the bottom and right (raised).
void frame3d(TCanvas& canvas, TRect& r, TColor top_left, TColor bottom_right, int width) {
    for (int i = 0; i < width; ++i) {
        canvas.Brush().SetColor(top_left);
        canvas.FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1});
        canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1});
        canvas.Brush().SetColor(bottom_right);
        canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
        canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
        r = gfx::inflate(r, -1, -1);
    }
}

void bevel(TCanvas& canvas, TRect& r, TPanelBevel kind, int width, TColor face) {
    switch (kind) {
    case bvNone: return;
    case bvRaised: frame3d(canvas, r, clBtnHighlight, clBtnShadow, width); return;
    case bvLowered: frame3d(canvas, r, clBtnShadow, clBtnHighlight, width); return;
    case bvSpace: frame3d(canvas, r, face, face, width); return;
    }
}

}  // namespace

void TPanel::Paint() {
    TCanvas& canvas = *Canvas();
    TRect r = ClientRect();
    bevel(canvas, r, m_bevelOuter, m_bevelWidth, Color());
    canvas.Brush().SetColor(Color());
    for (int i = 0; i < m_borderWidth; ++i) {
        canvas.FrameRect(r);
        r = gfx::inflate(r, -1, -1);
    }
    bevel(canvas, r, m_bevelInner, m_bevelWidth, Color());
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    if (Caption().empty()) return;
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TTextFormat format{tfVerticalCenter, tfSingleLine};
    format += m_alignment == taCenter ? tfCenter : m_alignment == taRightJustify ? tfRight : tfLeft;
    canvas.TextRect(r, Caption(), format);
    canvas.Brush().SetStyle(bsSolid);
}
