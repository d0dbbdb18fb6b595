// The arrangement of a bar's items in lines, apart from windows: items go in
// the order of the shown links, a group separator takes a gap before its item
// (never before the first item of a line), and a multi-line bar starts a new
// line when the next item would pass the length it was given.
//
// Positions are along the bar (x in a horizontal bar) and across it;
// a vertical bar swaps the axes in the caller.
#pragma once

#include <vector>

namespace bars {

// Room a group separator takes between two items.
inline constexpr int kSeparatorLength = 6;

struct LineItem {
    int length = 0;     // along the bar
    int thickness = 0;  // across the bar
    bool begin_group = false;
};

struct LinePlace {
    int position = 0;  // along, from the start of the items' area
    int line_top = 0;  // across, from the start of the items' area
    int line = 0;
    int line_thickness = 0;
    bool separator_before = false;
    bool hidden = false;  // did not fit into a single-line bar that was shortened
};

struct LineLayout {
    std::vector<LinePlace> items;
    int lines = 0;
    int length = 0;     // longest line
    int thickness = 0;  // all lines together
};

// Lays the items out in at most `available` along the bar; with `wrap`
// items that do not fit start new lines, otherwise they are hidden.
// available < 0 means unlimited.
LineLayout layout_lines(const std::vector<LineItem>& items, int available, bool wrap);

// The length of all items in one line, separators included.
int natural_line_length(const std::vector<LineItem>& items);
// The longest single item.
int widest_item(const std::vector<LineItem>& items);

}  // namespace bars
