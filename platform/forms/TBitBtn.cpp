#include "platform/forms/TBitBtn.h"

#include "platform/gfx/TCanvas.h"

#include <array>

void TBitBtn::SetKind(TBitBtnKind value) {
    if (value == m_kind) return;
    m_kind = value;
    if (!Loading()) ApplyKind();
}

void TBitBtn::Loaded() {
    ApplyKind();
    TButtonControl::Loaded();
}

void TBitBtn::ApplyKind() {
    switch (m_kind) {
    case bkOK:
        SetCaption("OK");
        SetModalResult(mrOk);
        SetDefault(true);
        break;
    case bkCancel:
        SetCaption("Cancel");
        SetModalResult(mrCancel);
        SetCancel(true);
        break;
    case bkCustom: break;
    }
    Invalidate();
}

void TBitBtn::PaintGlyph(TCanvas& canvas, int x, int y) const {
    if (m_kind == bkOK) {
        // A check mark three pixels thick: down-right from the left, then up to the top right.
        canvas.Brush().SetColor(Enabled() ? clGreen : clGrayText);
        static constexpr std::array<std::array<int, 2>, 13> stem = {{
            {2, 8}, {3, 9}, {4, 10}, {5, 11}, {6, 12}, {7, 11}, {8, 10}, {9, 9},
            {10, 8}, {11, 7}, {12, 6}, {13, 5}, {14, 4},
        }};
        for (const auto& p : stem) canvas.FillRect(TRect{x + p[0], y + p[1], x + p[0] + 1, y + p[1] + 3});
    } else if (m_kind == bkCancel) {
        canvas.Brush().SetColor(Enabled() ? clRed : clGrayText);
        for (int i = 3; i < 14; ++i) {
            canvas.FillRect(TRect{x + i, y + i, x + i + 2, y + i + 1});
            canvas.FillRect(TRect{x + 16 - i, y + i, x + 18 - i, y + i + 1});
        }
    }
}

void TBitBtn::PaintContents(TCanvas& canvas, const TRect& face, bool) {
    canvas.Font().Assign(Font());
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    const bool glyph = m_kind != bkCustom;
    const int text_width = canvas.TextWidth(Caption());
    const int text_height = canvas.TextHeight(Caption());
    const int total = (glyph ? kGlyphSize + (Caption().empty() ? 0 : kSpacing) : 0) + text_width;
    int x = face.Left + (face.Width() - total + 1) / 2;
    if (glyph) {
        PaintGlyph(canvas, x, face.Top + (face.Height() - kGlyphSize) / 2);
        x += kGlyphSize + kSpacing;
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.TextRect(face, x, face.Top + (face.Height() - text_height) / 2, Caption());
    canvas.Brush().SetStyle(bsSolid);
}
