// The brush of a canvas: a solid colour, nothing (bsClear), or an 8 x 8
// pattern. A pattern repeats from the canvas's brush origin, which is the
// window's origin unless moved, so neighbouring fills line up.
#pragma once

#include "platform/gfx/TColor.h"

#include <array>
#include <optional>

class TBitmap;

enum TBrushStyle { bsSolid, bsClear };

namespace gfx {
using Pattern = std::array<Pixel, 64>;  // row by row, 8 pixels each

// The checkerboard the bars and the grid use: `even` where x + y is even.
Pattern checkerboard(TColor even, TColor odd);
}  // namespace gfx

class TBrush {
public:
    TColor Color() const { return m_color; }
    // Choosing a colour makes the brush solid again, as choosing a colour does.
    void SetColor(TColor value) {
        m_color = value;
        m_pattern.reset();
        if (m_style == bsClear) m_style = bsSolid;
    }
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle value) { m_style = value; }

    // A pattern brush takes the top-left 8 x 8 pixels of the bitmap (bitmaps
    // smaller than that repeat); nullptr goes back to the solid colour.
    void SetBitmap(const TBitmap* bitmap);
    void SetPattern(const gfx::Pattern& pattern) {
        m_pattern = pattern;
        m_style = bsSolid;
    }
    const std::optional<gfx::Pattern>& pattern() const { return m_pattern; }

private:
    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
    std::optional<gfx::Pattern> m_pattern;
};
