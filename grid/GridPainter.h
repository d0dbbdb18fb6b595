// One paint pass of the grid: the header row, the data rows with their
// cells, the focused cell and its mark, the search overlay, the grid lines
// and the empty areas, each stage skipped when its area lies outside the
// update region. Painting is a pure function of the grid's state.
#pragma once

#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TColor.h"

#include <memory>

class TCanvas;
class TCustomdxTreeListControl;
struct TRect;
namespace dxgrid {
struct HeaderCell;
}

class GridPainter {
public:
    GridPainter(TCustomdxTreeListControl& grid, TCanvas& canvas);
    void paint();

    // The pen colour of the grid lines for a background colour.
    static TColor grid_line_color(TColor gridLineColor, TColor background, bool grouped);

private:
    void paint_header();
    void paint_header_cell(const dxgrid::HeaderCell& cell);
    void paint_rows();
    void paint_grid_lines();
    void paint_empty_areas();
    TCanvas& offscreen(int width, int height);

    TCustomdxTreeListControl& m_grid;
    TCanvas& m_canvas;
    std::unique_ptr<TBitmap> m_bitmap;
    bool m_focused = false;
};
