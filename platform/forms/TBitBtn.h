// A push button with a picture beside its caption. A Kind other than
// bkCustom gives the button the caption, picture, modal result and role of
// that kind (bkOK: "OK", a green check mark, mrOk, the default button).
#pragma once

#include "platform/forms/TButtonControl.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel };

class TBitBtn : public TButtonControl {
public:
    using TButtonControl::TButtonControl;

    TBitBtnKind Kind() const { return m_kind; }
    void SetKind(TBitBtnKind value);
    // Pixels between the picture and the caption.
    static constexpr int kSpacing = 4;
    static constexpr int kGlyphSize = 18;

protected:
    void Loaded() override;
    void PaintContents(TCanvas& canvas, const TRect& face, bool down) override;

private:
    void ApplyKind();
    void PaintGlyph(TCanvas& canvas, int x, int y) const;

    TBitBtnKind m_kind = bkCustom;
};
