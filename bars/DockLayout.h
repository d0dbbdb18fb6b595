// The arithmetic of dock sites, apart from windows: how the bars of one row
// share the row's length, how thick a site is, which row a bar joins when it
// is shown from its stored place, and which row a dragged bar falls into.
//
// Lengths run along a row (x in top and bottom sites, y in left and right
// ones), thickness across it. All functions are pure; the dock control asks
// them and moves its bar windows to what they answer.
//
// Invariants of a row layout (checked by check_row_layout):
//  - every bar is at least as long as its minimum;
//  - bars do not overlap and keep their order;
//  - every bar of a row has the row's thickness.
#pragma once

#include <functional>
#include <vector>

namespace bars {

// Width of the mark button that shows the hidden part of a shortened bar.
inline constexpr int kMarkButtonLength = 11;

struct RowBar {
    int min_length = 0;
    int natural_length = 0;
    int position = 0;  // stored position along the row
    bool whole_row = false;
    bool multi_line = false;
    bool use_rest_space = false;
    // The natural length already includes the mark button.
    bool mark_counted = false;
    // The thickness the bar needs when given a length (items wrap in a multi-line bar).
    std::function<int(int length)> thickness_at;
};

struct RowPlace {
    int position = 0;
    int length = 0;
    int thickness = 0;
    bool truncated = false;
};

struct RowLayout {
    std::vector<RowPlace> bars;
    int thickness = 0;
};

RowLayout layout_row(const std::vector<RowBar>& bars, int site_length);

// Debug builds: throws std::logic_error when a layout breaks the invariants above.
void check_row_layout(const std::vector<RowBar>& bars, const RowLayout& layout);

// The thickness of a site holding rows of these thicknesses.
int site_thickness(const std::vector<int>& row_thicknesses, bool sunken_border);

// Where a bar goes when it is shown from its stored place.
struct RowTarget {
    int row = 0;          // index of the row (of the new row when new_row)
    bool new_row = false;
    int rows_to_create = 0;  // empty rows to append first (while loading)
};

struct RowInfo {
    bool holds_whole_row_bar = false;
    bool empty = false;  // created empty while loading
};

RowTarget place_stored_bar(const std::vector<RowInfo>& rows, int stored_row, bool one_on_row, bool whole_row,
                           bool loading);

// The position within a row before which a bar with this stored position goes:
// the index of the first bar whose stored position is at or beyond it.
int insert_index(const std::vector<int>& positions, int position);

// Which row a bar dragged with its corner at `across` (site client
// coordinates, across the rows) falls into. Rows are given by their
// thicknesses, stacked from the site's inner edge (0) outwards; `trailing`
// is true for right and bottom sites, whose rows are mirrored.
struct DragRow {
    int row = 0;
    bool new_row = false;
};

inline constexpr int kDockZoneMargin = 23;
inline constexpr int kNewRowBandStart = 9;
inline constexpr int kNewRowBandEnd = 14;

DragRow drag_row(const std::vector<int>& row_thicknesses, int across, bool trailing);

}  // namespace bars
