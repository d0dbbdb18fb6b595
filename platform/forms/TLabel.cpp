#include "platform/forms/TLabel.h"

#include "platform/gfx/TCanvas.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 13);
    SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == m_alignment) return;
    m_alignment = value;
    if (!Loading()) Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == m_transparent) return;
    m_transparent = value;
    if (!Loading()) Invalidate();
}

void TLabel::Paint() {
    TCanvas& canvas = *Canvas();
    const TRect r = ClientRect();
    if (!m_transparent) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(r);
    }
    canvas.Font().Assign(Font());
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    canvas.Brush().SetStyle(bsClear);
    TRect text = r;
    TTextFormat format{tfSingleLine, tfNoPrefix};
    format += m_alignment == taCenter ? tfCenter : m_alignment == taRightJustify ? tfRight : tfLeft;
    canvas.TextRect(text, Caption(), format);
    canvas.Brush().SetStyle(bsSolid);
}
