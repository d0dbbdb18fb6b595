#include "grid/GridScrollModel.h"

namespace dxgrid {

forms::ScrollValues vertical_scroll_values(const DataPosition& data, int full_rows, int old_pos) {
    if (!data.active) return {0, 4, 0, old_pos};
    if (!data.sequenced) return {0, 4, 0, data.bof ? 0 : data.eof ? 4 : 2};
    forms::ScrollValues v{1, data.record_count + full_rows - 1, full_rows, old_pos};
    if (data.browsing && data.recno != -1) v.pos = data.recno;
    return v;
}

ScrollAction vertical_scroll_action(int code, const DataPosition& data, int active, int rows, int full_rows, int track) {
    using namespace forms;
    switch (code) {
    case SB_LINEUP: return {DataMove::MoveBy, -(active + 1)};
    case SB_LINEDOWN: return {DataMove::MoveBy, rows - active};
    case SB_PAGEUP: return {DataMove::MoveBy, -full_rows};
    case SB_PAGEDOWN: return {DataMove::MoveBy, full_rows};
    case SB_THUMBPOSITION:
        if (data.sequenced) {
            if (track <= 1) return {DataMove::First, 0};
            if (track < data.record_count) return {DataMove::RecNo, track};
            return {DataMove::Last, 0};
        }
        switch (track) {
        case 0: return {DataMove::First, 0};
        case 1: return {DataMove::MoveBy, -full_rows};
        case 3: return {DataMove::MoveBy, full_rows};
        case 4: return {DataMove::Last, 0};
        default: return {};
        }
    case SB_TOP: return {DataMove::First, 0};
    case SB_BOTTOM: return {DataMove::Last, 0};
    default: return {};  // thumb dragged, end of scroll
    }
}

}  // namespace dxgrid
