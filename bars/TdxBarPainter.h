// The flat look of the bars: the colours derived from the system colours
// and the pieces every bar window draws (grips, separators, item frames).
// The colours are derived at the moment of drawing from the current system
// colour table, so a change of the system colours shows at the next paint,
// which the window system asks for at once.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TRect.h"

class TCanvas;
class TImageList;

namespace bars {

// Light face: toolbar and submenu background, the glyph column of menus.
TColor light_face();
// Background of a checked (down) button.
TColor checked_face();
// Background of a checked button under the mouse.
TColor pressed_face();
// Background of the hot item.
TColor hot_face();

void fill(TCanvas& canvas, const TRect& r, TColor color);
void frame(TCanvas& canvas, const TRect& r, TColor color);

// The dotted strip of a grip: 3 pixels wide, lines across it alternating the
// button shadow (first) and the background.
void paint_grip(TCanvas& canvas, const TRect& r, bool horizontalBar, TColor background);
// A group separator: a one-pixel line in the button shadow colour and one of background.
void paint_separator(TCanvas& canvas, const TRect& gap, bool horizontalBar, TColor background);
// The little arrow of the mark button and of drop-down items.
void paint_down_arrow(TCanvas& canvas, int centerX, int top, TColor color);

// Item background and frame in the flat style for its state.
void paint_flat_button_face(TCanvas& canvas, const TRect& r, bool hot, bool checked, TColor background);

}  // namespace bars
