#include "grid/HeaderDragModel.h"

#include <algorithm>

namespace grid {

DropTarget drop_target(const std::vector<HeaderCell>& cells, const HeaderCell& dragged, const TRect& header, TPoint p) {
    DropTarget t;
    if (!header.Contains(p)) return t;
    const HeaderCell* hit = nullptr;
    const HeaderCell* last_of_row = nullptr;  // the rightmost cell of the header row at the pointer
    for (const HeaderCell& c : cells) {
        if (c.rect.Contains(p)) hit = &c;
        if (p.Y >= c.rect.Top && p.Y < c.rect.Bottom && (!last_of_row || c.rect.Right > last_of_row->rect.Right))
            last_of_row = &c;
    }
    bool before = false;
    if (hit) {
        if (hit->column == dragged.column) {
            t.kind = DropTarget::NoMove;
            return t;
        }
        before = p.X <= (hit->rect.Left + hit->rect.Right) / 2;
    } else if (last_of_row && p.X >= last_of_row->rect.Right) {
        hit = last_of_row;
    } else {
        return t;
    }
    t.band = hit->band;
    t.row = hit->row;
    t.pos = hit->pos;
    t.column = hit->column;
    t.row_top = hit->rect.Top;
    t.edge_x = before ? hit->rect.Left : hit->rect.Right;
    t.kind = before ? DropTarget::Before : DropTarget::After;
    const bool same_row = hit->band == dragged.band && hit->row == dragged.row;
    // Just before the next cell or just after the previous one is where the column already is.
    if (hit->column == dragged.column ||
        (same_row && ((before && hit->pos == dragged.pos + 1) || (!before && hit->pos == dragged.pos - 1))))
        t.kind = DropTarget::NoMove;
    return t;
}

TRect arrows_box(const DropTarget& target, const TRect& header, int header_row_height, int scale) {
    const int x = std::clamp(target.edge_x, header.Left, std::max(header.Left, header.Right - 1));
    return Bounds(x - 5 * scale, target.row_top - 9 * scale, 11 * scale, header_row_height + 18 * scale);
}

int drop_position(const DropTarget& target, const HeaderCell& dragged) {
    int pos = target.kind == DropTarget::After ? target.pos + 1 : target.pos;
    // Leaving its place ahead of the target moves everything behind it one to the left.
    if (target.band == dragged.band && target.row == dragged.row && dragged.pos < pos) --pos;
    return pos;
}

int header_drag_scroll(int x, int scrollable_left, int header_right, int scale) {
    const int zone = kDragScrollZone * scale;
    if (x >= scrollable_left && x < scrollable_left + zone) return -1;
    if (x < header_right && x >= header_right - zone) return 1;
    return 0;
}

}  // namespace grid
