// The grid's geometry as a pure model: from the stored widths of bands and
// columns, their minimums and the client width it computes the display
// widths, the screen regions, the header cells and the rows, answers the hit
// test, and works out the stored widths after the user sized a column. The
// control only fills a LayoutInput from its properties and asks.
//
// Invariants (check_invariants):
//  - with auto-width and a sizable visible band, the display widths of the
//    visible bands sum to the total width less the group indent;
//  - in every header row of a visible band the display widths of its visible
//    columns sum to the band's display width (less the group indent for the
//    first band, which its first column gets back);
//  - under auto-width no sizable column is narrower than its minimum unless
//    the band itself is narrower than the row's minimums.
#pragma once

#include "grid/GridTypes.h"
#include "platform/gfx/TRect.h"

#include <vector>

namespace dxgrid {

struct BandSpec {
    int width = 250;
    int min_width = 30;
    bool sizing = true;       // the band's Sizing
    bool can_size = false;    // the BandSizing predicate for it
    bool visible = true;
    TdxGridBandFixed fixed = bfNone;
};

struct ColumnSpec {
    int width = 64;           // stored width
    int min_width = 20;
    bool sizing = true;       // the column's Sizing
    bool can_size = true;     // the ColumnSizing predicate for it
    bool visible = true;
    int band = 0;             // -1: in no band
    int row = 0;              // effective header row
    int header_max_line_count = 1;
};

struct LayoutInput {
    std::vector<BandSpec> bands;
    std::vector<ColumnSpec> columns;
    bool auto_width = false;
    bool band_header_width = false;  // the BandHeaderWidth predicate
    bool show_bands = false;
    int header_row_count = 1;        // HeaderPanelRowCount
    int group_indent = 0;
    TRect client;
    int indicator_width = 0;
    int band_panel_height = 0;
    int header_row_height = 0;       // 0: no header panel
    int row_height = 0;              // one node
    int row_count = 0;               // the grid's nodes
    int left_coord = 0;              // horizontal scroll offset
    int fixed_band_line_width = 2;
    int edge_zone = 4;               // how near an edge the pointer sizes a column or band
};

struct VisibleBand {
    int band = -1;                     // index in the band collection
    int display_width = 0;
    int natural = 0;                   // N(b)
    int minimum = 0;                   // M(b)
    int left = 0;                      // screen left of its first column
    std::vector<std::vector<int>> rows;  // visible columns of each header row, in order
    int non_empty_rows() const;
};

struct HeaderCell {
    int column = -1;
    int band = -1;  // position among the visible bands
    int row = 0;
    int pos = 0;    // position in its row
    bool first = false;
    bool last = false;
    int row_span = 1;
    TRect rect;
    TRect clip;
};

// The grid's sizes are kept in units of a 96 pixels-per-inch screen (the
// properties and the layout file); the client rectangle and the scroll offset
// are pixels of the screen. The layout shown is built at the screen's scale,
// so that every size is exactly `scale` times its 96-dpi value.
LayoutInput at_scale(const LayoutInput& logical, int scale);
// The same layout seen at 96 dpi: client rectangle and scroll offset divided by
// `scale`. The user's sizing is worked out on it, so that the stored widths it
// gives do not depend on the screen's scale.
LayoutInput at_96_dpi(const LayoutInput& logical, int scale);

// MulDiv: a × b / c rounded to the nearest integer, halves away from zero.
int mul_div(int a, int b, int c);

class GridLayout {
public:
    void build(const LayoutInput& input);

    int total_width() const { return m_total; }
    const std::vector<VisibleBand>& bands() const { return m_bands; }
    // The display width of a column; 0 for one that takes no space.
    int column_width(int column) const;
    // The visible band holding a column, -1 when it is not shown.
    int band_of(int column) const;
    const std::vector<HeaderCell>& header_cells() const { return m_cells; }
    const HeaderCell* header_cell(int column) const;

    TRect band_panel() const { return m_bandPanel; }
    TRect header_panel() const { return m_headerPanel; }
    TRect rows_area() const { return m_rowsArea; }
    // The cells end before this x (the pixel column left of it holds the right-hand grid line).
    int cells_right() const { return m_cellsRight; }
    int row_height() const { return m_input.row_height; }
    // Rows shown, a partly visible last one included.
    int visible_rows() const { return m_visibleRows; }
    TRect row_rect(int row) const;
    // The cell's rectangle before the grid lines take their pixels.
    TRect cell_rect(int row, int column) const;
    // Whole rows that fit the rows area and all rows including a partly visible one, both at least 1.
    int full_rows() const;
    int all_rows() const;

    TdxTreeListHitInfo hit_test(TPoint p) const;

    const LayoutInput& input() const { return m_input; }
    void check_invariants() const;

private:
    void place_bands();
    void column_widths(VisibleBand& band, bool first);
    void header_cells();
    bool band_edge_allowed(int visible_band) const;

    LayoutInput m_input;
    std::vector<VisibleBand> m_bands;
    std::vector<int> m_widths;
    std::vector<int> m_bandOf;
    std::vector<HeaderCell> m_cells;
    int m_total = 0;
    TRect m_bandPanel;
    TRect m_headerPanel;
    TRect m_rowsArea;
    int m_cellsRight = 0;
    int m_visibleRows = 0;
};

// The outcome of the user's sizing of a column: new stored widths for every
// column (hidden ones included), and the band's new width when it follows.
struct SizingResult {
    std::vector<int> widths;
    int band = -1;        // band collection index whose width changes, -1 none
    int band_width = 0;
};

// `requested` is the width the drag asks for; the layout must be built from `input`.
SizingResult size_column(const GridLayout& layout, int column, int requested);

// The bounds of the sizing drag for a column: [lower, upper] in client x.
void sizing_bounds(const GridLayout& layout, int column, bool full_sizing, int& lower, int& upper);

}  // namespace dxgrid
