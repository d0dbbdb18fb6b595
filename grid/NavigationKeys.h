// The grid's navigation rules as pure functions: which action a key with its
// Shift and Ctrl state asks for, where a page move lands, and which way a
// wheel message scrolls. The control looks the action up and carries it out
// (in grid mode by moving the dataset).
#pragma once

namespace grid {

enum class NavAction {
    None,
    Up,              // focused row - 1
    Down,            // focused row + 1
    PageUp,
    PageDown,
    FirstColumn,
    LastColumn,
    PrevColumn,      // at the first column: nothing, or with wrap-around the last column of the row above
    NextColumn,
    FirstRow,        // the first row the grid holds
    LastRow,
    DataSetFirst,    // grid mode: the dataset's first record
    DataSetLast,
    CopyToClipboard,
    ToggleSelection,
    ResetSelection,  // Esc: the selection back to the focused row
    ShowEditor,      // F2; Enter with the editor options (no editor opens in a read-only grid)
};

struct NavOptions {
    bool grid_mode = true;     // the grid holds only the dataset's record window
    bool row_select = false;   // edgoRowSelect
    bool enter_editor = false; // edgoEnterThrough with edgoEnterShowEditor
};

// The action of a key pressed in the grid (Shift extends nothing without multi-select).
NavAction navigation_action(int vk, bool shift, bool ctrl, const NavOptions& options);

// The visible index a page move focuses: focused row c, top row t, page size
// p (rows that fit wholly), last row index `last`; direction -1 (Page Up) or
// +1 (Page Down). The first press stops at the page's edge; from the edge it
// moves by p - 1 rows (by 1 when p is 1). Not clamped: the dataset stops at its ends.
int page_move_target(int focused, int top, int page, int last, int direction);

// Lines a mouse-wheel message scrolls: one up (-1) for a positive delta, one
// down (+1) otherwise, whatever the delta's size.
inline int wheel_lines(int delta) { return delta > 0 ? -1 : 1; }

}  // namespace grid
