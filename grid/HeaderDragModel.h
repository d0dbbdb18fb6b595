// The rules of pressing and dragging a column header, apart from the control:
// when a press becomes a drag, where a dragged header would be dropped, where
// the insertion arrows go, and which new position the dropped column takes in
// its header row. Coordinates are the grid's client coordinates.
#pragma once

#include "grid/GridLayout.h"
#include "platform/gfx/TRect.h"

#include <vector>

namespace grid {

// A move of the pointer from the press point starts a drag only beyond this
// many pixels, horizontally or vertically.
inline constexpr int kDragThreshold = 5;
// Width of the zones at the header's ends where a drag scrolls the grid sideways.
inline constexpr int kDragScrollZone = 12;

inline bool drag_threshold_passed(TPoint press, TPoint now) {
    const int dx = now.X - press.X, dy = now.Y - press.Y;
    return dx > kDragThreshold || dx < -kDragThreshold || dy > kDragThreshold || dy < -kDragThreshold;
}

// The header cells are the layout's.
using dxgrid::HeaderCell;

struct DropTarget {
    enum Kind { Before, After, NoMove, Outside };
    Kind kind = Outside;
    int band = -1;
    int row = -1;
    int pos = -1;       // position in the row of the target column (Before/After)
    int column = -1;    // the target column (Before/After)
    int edge_x = 0;     // the edge the arrows point at (Before: the cell's left, After: its right)
    int row_top = 0;    // top of the target header row
};

// The drop target for the pointer at `p` while `dragged` (one of `cells`) is
// dragged; `header` is the header panel's rectangle. Cells are given row by
// row, each row's cells left to right.
DropTarget drop_target(const std::vector<HeaderCell>& cells, const HeaderCell& dragged, const TRect& header, TPoint p);

// The box the insertion arrows are drawn in, in client coordinates: 11
// pixels wide and the header row's height + 18 high, 9 pixels above the
// target row's top, centred on the target edge kept within the header. At a
// screen scale the sizes but the row's height (already in screen pixels) are
// `scale` times these.
TRect arrows_box(const DropTarget& target, const TRect& header, int header_row_height, int scale = 1);

// The position (column index in the row) the dragged column gets when it is
// dropped on `target` (Before/After): positions count the row's visible
// columns with the dragged one still in place.
int drop_position(const DropTarget& target, const HeaderCell& dragged);

// Sideways scrolling of a header drag: -1 near the left end of the scrollable
// header part, +1 near the right end of the header, 0 elsewhere; the zones
// are kDragScrollZone times the screen's scale wide.
int header_drag_scroll(int x, int scrollable_left, int header_right, int scale = 1);

}  // namespace grid
