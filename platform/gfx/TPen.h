// The pen of a canvas: colour, style and the raster operation that combines
// the pen's colour with the pixels under it. Lines are one pixel wide.
#pragma once

#include "platform/gfx/TColor.h"

enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

enum TPenStyle { psSolid, psClear };

class TPen {
public:
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TPenMode Mode() const { return m_mode; }
    void SetMode(TPenMode value) { m_mode = value; }
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle value) { m_style = value; }

private:
    TColor m_color = clBlack;
    TPenMode m_mode = pmCopy;
    TPenStyle m_style = psSolid;
};

namespace gfx {

// Combines a pen (or brush) pixel with a screen pixel by a raster operation;
// only the 24 colour bits take part.
constexpr Pixel apply_pen_mode(TPenMode mode, Pixel pen, Pixel dst) {
    Pixel r = 0;
    switch (mode) {
    case pmBlack: r = 0; break;
    case pmWhite: r = 0xFFFFFF; break;
    case pmNop: r = dst; break;
    case pmNot: r = ~dst; break;
    case pmCopy: r = pen; break;
    case pmNotCopy: r = ~pen; break;
    case pmMergePenNot: r = pen | ~dst; break;
    case pmMaskPenNot: r = pen & ~dst; break;
    case pmMergeNotPen: r = ~pen | dst; break;
    case pmMaskNotPen: r = ~pen & dst; break;
    case pmMerge: r = pen | dst; break;
    case pmNotMerge: r = ~(pen | dst); break;
    case pmMask: r = pen & dst; break;
    case pmNotMask: r = ~(pen & dst); break;
    case pmXor: r = pen ^ dst; break;
    case pmNotXor: r = ~(pen ^ dst); break;
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

}  // namespace gfx
