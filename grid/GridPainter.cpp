#include "grid/GridPainter.h"

#include "grid/TCustomdxTreeListControl.h"
#include "grid/TdxTreeListColumn.h"
#include "platform/classes/ScopeExit.h"
#include "platform/gfx/FontFace.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <vector>

namespace {

constexpr TColor kUltraFlatPanel = 0xA0A0A0;

// Lines one pixel wide at 96 dpi, the screen's scale wide here; x and y are
// their first pixel.
void hline(TCanvas& c, int x0, int x1, int y) { c.FillRect(TRect{x0, y, x1, y + gfx::screen_scale()}); }
void vline(TCanvas& c, int x, int y0, int y1) { c.FillRect(TRect{x, y0, x + gfx::screen_scale(), y1}); }

AnsiString apply_char_case(AnsiString text, const TdxTreeListColumn& column) {
    if (column.PasswordChar()) return AnsiString(text.size(), column.PasswordChar());
    if (column.CharCase() == ecUpperCase) return text::ansi_upper_case(text);
    if (column.CharCase() == ecLowerCase) return text::ansi_lower_case(text);
    return text;
}

TTextFormat alignment_format(TAlignment a) {
    switch (a) {
    case taRightJustify: return TTextFormat{tfRight};
    case taCenter: return TTextFormat{tfCenter};
    default: return TTextFormat{tfLeft};
    }
}

}  // namespace

GridPainter::GridPainter(TCustomdxTreeListControl& grid, TCanvas& canvas) : m_grid(grid), m_canvas(canvas) {}

TColor GridPainter::grid_line_color(TColor gridLineColor, TColor background, bool grouped) {
    if (gridLineColor != clNone) return gridLineColor;
    if (grouped) return clBtnShadow;
    const TColor face = ColorToRGB(clBtnFace);
    if (ColorToRGB(background) == face || face == 0 || face == 0xFFFFFF) return clBtnShadow;
    return clBtnFace;
}

TCanvas& GridPainter::offscreen(int width, int height) {
    if (!m_bitmap) m_bitmap = std::make_unique<TBitmap>();
    // The bitmap only grows, so cells of similar size reuse it.
    if (m_bitmap->Width() < width || m_bitmap->Height() < height)
        m_bitmap->SetSize(std::max(m_bitmap->Width(), width), std::max(m_bitmap->Height(), height));
    return m_bitmap->Canvas();
}

void GridPainter::paint() {
    m_focused = m_grid.HasFocus();
    paint_header();
    paint_rows();
    paint_grid_lines();
    paint_empty_areas();
    // A sizing line drawn by inversion stays over what was repainted.
    if (m_grid.m_state == tsColumnSizing && m_grid.m_sizingLineShown) {
        const dxgrid::GridLayout& l = m_grid.Layout();
        m_canvas.InvertRect(TRect{m_grid.m_sizingX, l.band_panel().Top, m_grid.m_sizingX + gfx::screen_scale(), l.rows_area().Bottom});
    }
}

// ---- header ------------------------------------------------------------------------------------

void GridPainter::paint_header() {
    const dxgrid::GridLayout& l = m_grid.Layout();
    const TRect panel = l.header_panel();
    if (panel.IsEmpty() || !m_canvas.RectVisible(panel)) return;
    for (const dxgrid::HeaderCell& cell : l.header_cells())
        if (!cell.clip.IsEmpty() && m_canvas.RectVisible(cell.clip)) paint_header_cell(cell);
    // Header rows of a band that hold no cell show the panel colour.
    const TColor panelColor = m_grid.LookAndFeel() == lfUltraFlat ? kUltraFlatPanel : clBtnShadow;
    for (const dxgrid::VisibleBand& vb : l.bands())
        for (std::size_t r = 0; r < vb.rows.size(); ++r) {
            if (!vb.rows[r].empty()) continue;
            bool spanned = false;
            for (const dxgrid::HeaderCell& c : l.header_cells())
                if (c.band == static_cast<int>(&vb - l.bands().data()) && c.row < static_cast<int>(r) &&
                    c.row + c.row_span > static_cast<int>(r))
                    spanned = true;
            if (spanned) continue;
            const int top = panel.Top + m_grid.HeaderRowHeight() * static_cast<int>(r);
            m_canvas.Brush().SetColor(panelColor);
            m_canvas.FillRect(TRect{vb.left, top, vb.left + vb.display_width, top + m_grid.HeaderRowHeight()});
        }
}

void GridPainter::paint_header_cell(const dxgrid::HeaderCell& cell) {
    const TdxTreeListColumn& column = *m_grid.Columns(cell.column);
    const int w = cell.rect.Width(), h = cell.rect.Height();
    if (w <= 0 || h <= 0) return;
    TCanvas& c = offscreen(w, h);
    c.set_clip_region(gfx::Region(TRect{0, 0, w, h}));
    const TdxLookAndFeel look = m_grid.LookAndFeel();
    const bool pressed = m_grid.PressedColumn() == cell.column && m_grid.PressedLook();
    const bool single = cell.first && cell.last;
    const int T = 0, B = h;
    const int s = gfx::screen_scale();
    TRect content;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(m_grid.HeaderColor());
    c.FillRect(TRect{0, 0, w, h});
    if (look == lfUltraFlat || look == lfFlat) {
        const TColor top = look == lfFlat ? clBtnHighlight : clBtnShadow;
        if (single) {
            if (look == lfUltraFlat) {
                c.Brush().SetColor(clBtnShadow);
                c.FrameRect(TRect{0, 0, w, h});
            } else {
                c.Brush().SetColor(clBtnHighlight);
                hline(c, 0, w, T);
                vline(c, 0, T, B);
                c.Brush().SetColor(clBtnShadow);
                hline(c, 0, w, B - s);
                vline(c, w - s, T, B);
            }
        } else {
            c.Brush().SetColor(top);
            hline(c, 0, w, T);
            c.Brush().SetColor(clBtnShadow);
            hline(c, 0, w, B - s);
            if (cell.last)
                vline(c, w - s, T, B - s);
            else
                vline(c, w - s, T + 2 * s, B - 2 * s);
            if (look == lfFlat) {
                c.Brush().SetColor(clBtnHighlight);
                if (cell.first)
                    vline(c, 0, T + s, B - s);
                else
                    vline(c, 0, T + 2 * s, B - 2 * s);
            }
        }
        content = TRect{3 * s, 2 * s, w - 3 * s, h - 3 * s};
    } else {
        TRect edge{0, 0, w, h};
        c.DrawEdge(edge, pressed ? gfx::BDR_SUNKENOUTER : gfx::EDGE_RAISED, gfx::BF_RECT);
        const int in = (pressed ? 4 : 2) * s;
        content = TRect{in, in, w - 2 * s, h - 3 * s};
    }

    // The sort glyph takes a slot at the right.
    if (column.Sorted() != csNone && content.Width() > 15) {
        const TRect slot{content.Right - 16, content.Top, content.Right, content.Bottom};
        content.Right -= 16;
        const int cx = (slot.Left + slot.Right) / 2, cy = (slot.Top + slot.Bottom) / 2;
        const int X0 = cx - 4, Y0 = cy - 3, Y1 = cy + 4;
        const auto line = [&c](TColor color, std::initializer_list<TPoint> pts) {
            c.Pen().SetColor(color);
            c.Polyline(std::span<const TPoint>(pts.begin(), pts.size()));
        };
        if (column.Sorted() == csUp) {
            line(clBtnShadow, {{X0 + 3, Y0}, {X0, Y1}});
            line(clBtnShadow, {{X0 + 2, Y0 + 1}, {X0, Y1 - 1}});
            line(clBtnHighlight, {{X0 + 1, Y1 - 1}, {X0 + 7, Y1 - 1}, {X0 + 4, Y0 - 1}});
            line(clBtnHighlight, {{X0 + 4, Y0 + 1}, {X0 + 7, Y1 - 1}});
        } else {
            line(clBtnShadow, {{X0 + 7, Y0}, {X0, Y0}, {X0 + 3, Y1}});
            line(clBtnShadow, {{X0 + 1, Y0 + 1}, {X0 + 3, Y1 - 1}});
            line(clBtnHighlight, {{X0 + 7, Y0 + 1}, {X0 + 4, Y1}});
            line(clBtnHighlight, {{X0 + 6, Y0 + 1}, {X0 + 4, Y1 - 1}});
        }
    }

    if (!column.DisableCaption()) {
        const AnsiString caption = column.Caption();
        c.Font().Assign(m_grid.HeaderFont());
        c.Brush().SetStyle(bsClear);
        TTextFormat fmt = alignment_format(column.HeaderAlignment()) + tfNoPrefix + tfExpandTabs;
        if (cell.row_span == 1 && m_grid.HeaderMinRowCount() <= 1) {
            fmt += tfSingleLine;
            fmt += tfVerticalCenter;
            TRect need = content;
            c.TextRect(need, caption, fmt + tfCalcRect);
            if (need.Width() > content.Width()) fmt += tfEndEllipsis;
        } else {
            fmt += tfWordBreak;
        }
        TRect r = content;
        c.TextRect(r, caption, fmt);
        c.Brush().SetStyle(bsSolid);
    }
    if (pressed && look != lfStandard) c.InvertRect(TRect{0, 0, w, h});
    c.set_clip_region(std::nullopt);

    // Copied inside the clip rectangle, so a partly scrolled cell shows its visible part.
    const TRect& clip = cell.clip;
    m_canvas.CopyRect(clip, c, TRect{clip.Left - cell.rect.Left, clip.Top - cell.rect.Top,
                                     clip.Right - cell.rect.Left, clip.Bottom - cell.rect.Top});
}

// ---- rows ------------------------------------------------------------------------------------------

void GridPainter::paint_rows() {
    const dxgrid::GridLayout& l = m_grid.Layout();
    const TRect area = l.rows_area();
    if (area.IsEmpty() || !m_canvas.RectVisible(area)) return;
    const bool lines = m_grid.ShowGrid() && m_grid.ShowPreviewGrid();
    const int px = gfx::screen_scale();
    const int separator = (m_grid.ShowGrid() ? m_grid.RowSeparatorLineWidth() : 1) * px;
    const int focusedColumn = m_grid.FocusedColumn();
    const bool selectionShown = m_focused || !m_grid.HideSelection();
    const auto& search = m_grid.SearchState();
    m_canvas.Font().Assign(m_grid.Font());
    const TColor gridColor = m_grid.Color();
    dxgrid::TextInk& ink = m_grid.m_textInk;
    if (m_canvas.visible_region().covers(area)) ink.reset();
    for (int row = 0; row < l.visible_rows(); ++row) {
        const TRect rowRect = l.row_rect(row);
        if (!m_canvas.RectVisible(TRect{area.Left, rowRect.Top, l.cells_right(), rowRect.Bottom})) continue;
        const bool focusedRow = row == m_grid.FocusedNumber();
        m_grid.BeginRowPaint(row);
        ScopeExit rowEnd([this, row] { m_grid.EndRowPaint(row); });
        for (const dxgrid::HeaderCell& hc : l.header_cells()) {
            TRect cell = l.cell_rect(row, hc.column);
            cell.Left = std::max(cell.Left, hc.clip.Left);
            cell.Right = std::min(cell.Right, hc.clip.Right);
            if (lines && hc.rect.Right <= hc.clip.Right) cell.Right = hc.rect.Right - px;
            cell.Bottom -= separator;
            if (cell.IsEmpty() || !m_canvas.RectVisible(cell)) continue;
            const TdxTreeListColumn& column = *m_grid.Columns(hc.column);
            const bool selected = focusedRow && hc.column == focusedColumn;
            TColor bg = column.Color();
            TColor fg = column.FontAssigned() ? column.Font().Color() : m_grid.Font().Color();
            if (selected && m_focused) {
                bg = m_grid.HighlightColor();
                fg = m_grid.HighlightTextColor();
            } else if (selected && !m_grid.HideSelection()) {
                bg = m_grid.HideSelectionColor();
                fg = m_grid.HideSelectionTextColor();
            }
            if (bg == clNone) bg = gridColor;
            const AnsiString text = apply_char_case(m_grid.GetPaintedCellText(row, hc.column), column);
            // The cell painter: background, then the text single-line and clipped.
            m_canvas.Brush().SetStyle(bsSolid);
            m_canvas.Brush().SetColor(bg);
            m_canvas.FillRect(cell);
            if (column.FontAssigned()) m_canvas.Font().Assign(column.Font());
            m_canvas.Font().SetColor(fg);
            TRect textRect{cell.Left + 2 * px, cell.Top + px, cell.Right - px, cell.Bottom - px};
            if (column.Alignment() == taRightJustify) textRect.Right -= px;
            TTextFormat fmt = alignment_format(column.Alignment()) + tfSingleLine + tfNoPrefix;
            if (column.VertAlignment() == tlCenter) fmt += tfVerticalCenter;
            if (column.VertAlignment() == tlBottom) fmt += tfBottom;
            if (m_grid.IsDrawEndEllipsis()) fmt += tfEndEllipsis;
            m_canvas.Brush().SetStyle(bsClear);
            if (!text.empty()) {
                if (column.VertAlignment() == tlTop && !m_grid.IsDrawEndEllipsis()) {
                    // The common case: one line from the top, cut at the text rectangle's edge.
                    const int w = m_canvas.TextWidth(text);
                    int x = textRect.Left;
                    if (column.Alignment() != taLeftJustify)
                        x = column.Alignment() == taRightJustify ? textRect.Right - w
                                                                   : textRect.Left + (textRect.Width() - w) / 2;
                    m_canvas.TextRect(textRect, x, textRect.Top, text);
                    // Glyphs may reach a little past their advances (italics, overhangs).
                    const int overhang = m_canvas.TextHeight(text) / 2;
                    ink.add(std::max(textRect.Left, x - overhang), std::min(textRect.Right, x + w + overhang));
                } else {
                    TRect r = textRect;
                    m_canvas.TextRect(r, text, fmt);
                    ink.add(textRect.Left, textRect.Right);
                }
            }
            // The search overlay on the matched prefix, then the dotted frame of searching.
            const bool searching = search.active && selected && m_focused && hc.column == search.column;
            if (searching && !search.text.empty() && !text.empty()) {
                const std::size_t n = std::min(search.text.size(), text.size());
                const TColor sbg = m_grid.AutoSearchColor() != clNone ? m_grid.AutoSearchColor() : (ColorToRGB(bg) ^ 0xFFFFFF);
                const TColor sfg = m_grid.AutoSearchTextColor() != clNone ? m_grid.AutoSearchTextColor() : (ColorToRGB(fg) ^ 0xFFFFFF);
                TRect where = textRect;
                TRect need = textRect;
                m_canvas.TextRect(need, text, fmt + tfCalcRect);
                if (column.Alignment() == taRightJustify) where.Left = textRect.Right - need.Width();
                if (column.Alignment() == taCenter) where.Left = textRect.Left + (textRect.Width() - need.Width()) / 2;
                const int prefix = m_canvas.TextWidth(std::string_view(text).substr(0, n));
                const int lineHeight = m_canvas.TextHeight("Wg");
                TRect overlay{where.Left, textRect.Top, std::min(where.Left + prefix, textRect.Right),
                              std::min(textRect.Top + lineHeight, textRect.Bottom)};
                m_canvas.Brush().SetStyle(bsSolid);
                m_canvas.Brush().SetColor(sbg);
                m_canvas.FillRect(overlay);
                m_canvas.Brush().SetStyle(bsClear);
                m_canvas.Font().SetColor(sfg);
                m_canvas.TextRect(overlay, where.Left, textRect.Top, std::string_view(text).substr(0, n));
            }
            m_canvas.Brush().SetStyle(bsSolid);
            if (searching) m_canvas.DrawFocusRect(TRect{cell.Left + px, cell.Top + px, cell.Right - px, cell.Bottom - px});
            if (column.FontAssigned()) m_canvas.Font().Assign(m_grid.Font());
            // The focus mark after the cell.
            if (selected) {
                if (m_focused) {
                    if (!m_grid.IsHideFocusRect()) m_canvas.DrawFocusRect(cell);
                } else if (!m_grid.HideFocusRect()) {
                    m_canvas.InvertFrame(cell);
                }
            }
        }
    }
    (void)selectionShown;
}

void GridPainter::paint_grid_lines() {
    const dxgrid::GridLayout& l = m_grid.Layout();
    const TRect area = l.rows_area();
    if (area.IsEmpty() || l.visible_rows() == 0 || !m_canvas.RectVisible(area)) return;
    const bool showGrid = m_grid.ShowGrid();
    const TColor pen = showGrid ? grid_line_color(m_grid.GridLineColor(), m_grid.Color(), false) : m_grid.Color();
    const int px = gfx::screen_scale();
    const int separator = (showGrid ? m_grid.RowSeparatorLineWidth() : 1) * px;
    const int right = l.cells_right();
    std::vector<TPoint> points;
    std::vector<int> counts;
    const auto segment = [&](TPoint a, TPoint b) {
        points.push_back(a);
        points.push_back(b);
        counts.push_back(2);
    };
    const int last = l.visible_rows() - 1;
    const int rowsBottom = std::min(l.row_rect(last).Bottom, area.Bottom);
    for (int row = 0; row <= last; ++row) {
        const TRect r = l.row_rect(row);
        for (int s = 0; s < separator; ++s) segment({area.Left, r.Bottom - 1 - s}, {right, r.Bottom - 1 - s});
    }
    if (showGrid && m_grid.ShowPreviewGrid()) {
        for (const dxgrid::HeaderCell& hc : l.header_cells()) {
            if (hc.rect.Right > hc.clip.Right || hc.rect.Right - 1 >= right) continue;
            for (int row = 0; row <= last; ++row) {
                const TRect cell = l.cell_rect(row, hc.column);
                for (int k = 1; k <= px; ++k) segment({hc.rect.Right - k, cell.Top}, {hc.rect.Right - k, cell.Bottom});
            }
        }
        for (int k = 1; k <= px; ++k) segment({right - k, area.Top}, {right - k, rowsBottom});
    }
    m_canvas.Pen().SetColor(pen);
    m_canvas.PolyPolyline(points, counts);
}

void GridPainter::paint_empty_areas() {
    const dxgrid::GridLayout& l = m_grid.Layout();
    const TRect client = m_grid.ClientRect();
    m_canvas.Brush().SetStyle(bsSolid);
    m_canvas.Brush().SetColor(m_grid.Color());
    // Right of the columns, in the header and the rows.
    const int right = l.cells_right();
    const TRect header = l.header_panel();
    if (right < client.Right) {
        const TRect r{right, header.Top, client.Right, client.Bottom};
        if (m_canvas.RectVisible(r)) m_canvas.FillRect(r);
    }
    // Below the last row.
    const TRect area = l.rows_area();
    const int bottom = l.visible_rows() > 0 ? std::min(l.row_rect(l.visible_rows() - 1).Bottom, area.Bottom) : area.Top;
    const TRect below{client.Left, bottom, std::min(right, client.Right), client.Bottom};
    if (!below.IsEmpty() && m_canvas.RectVisible(below)) m_canvas.FillRect(below);
    // Left of the header and rows when an indicator strip would be there.
    if (area.Left > client.Left) {
        const TRect strip{client.Left, header.Top, area.Left, client.Bottom};
        if (m_canvas.RectVisible(strip)) m_canvas.FillRect(strip);
    }
}
