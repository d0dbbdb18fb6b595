// The row arithmetic of the grid in grid mode, apart from any window: the
// vertical scroll bar's values for a dataset position and what each scroll
// command asks the dataset to do.
#pragma once

#include "platform/forms/ScrollBarModel.h"

namespace dxgrid {

// What the grid knows of its dataset for the scroll bar.
struct DataPosition {
    bool active = false;       // link and dataset active, and the grid has a window
    bool sequenced = true;
    int record_count = 0;      // the table's records
    int recno = -1;            // the current record's number, -1 without one
    bool browsing = true;      // browsing or editing
    bool bof = false;
    bool eof = false;
};

// The scroll bar's values; `old_pos` is kept where the rules keep it.
forms::ScrollValues vertical_scroll_values(const DataPosition& data, int full_rows, int old_pos);

enum class DataMove { None, MoveBy, First, Last, RecNo };
struct ScrollAction {
    DataMove move = DataMove::None;
    int value = 0;
    bool operator==(const ScrollAction&) const = default;
};

// A scroll command on a window of `rows` records (R) with the current one on
// row `active` (A) and `full_rows` (F) whole rows; `track` is the thumb's
// track position.
ScrollAction vertical_scroll_action(int code, const DataPosition& data, int active, int rows, int full_rows, int track);

}  // namespace dxgrid
