#include "grid/GridLayout.h"

#include "platform/classes/Invariant.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

namespace dxgrid {

namespace {

int column_minimum(const ColumnSpec& c) { return c.sizing ? c.min_width : c.width; }

}  // namespace

int mul_div(int a, int b, int c) {
    if (c == 0) return 0;  // an empty row or band shares nothing
    const long long num = static_cast<long long>(a) * b;
    const long long den = c;
    const long long q = (std::llabs(num) * 2 + std::llabs(den)) / (2 * std::llabs(den));
    return static_cast<int>(((num < 0) != (den < 0)) ? -q : q);
}

LayoutInput at_scale(const LayoutInput& logical, int scale) {
    LayoutInput in = logical;
    if (scale == 1) return in;
    for (BandSpec& b : in.bands) {
        b.width *= scale;
        b.min_width *= scale;
    }
    for (ColumnSpec& c : in.columns) {
        c.width *= scale;
        c.min_width *= scale;
    }
    in.group_indent *= scale;
    in.indicator_width *= scale;
    in.band_panel_height *= scale;
    in.header_row_height *= scale;
    in.row_height *= scale;
    in.fixed_band_line_width *= scale;
    in.edge_zone *= scale;
    return in;
}

LayoutInput at_96_dpi(const LayoutInput& logical, int scale) {
    LayoutInput in = logical;
    if (scale == 1) return in;
    in.client = TRect{in.client.Left / scale, in.client.Top / scale, in.client.Right / scale, in.client.Bottom / scale};
    in.left_coord /= scale;
    return in;
}

int VisibleBand::non_empty_rows() const {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return !r.empty(); }));
}

void GridLayout::build(const LayoutInput& input) {
    m_input = input;
    const LayoutInput& in = m_input;
    m_bands.clear();
    m_cells.clear();
    m_widths.assign(in.columns.size(), 0);
    m_bandOf.assign(in.columns.size(), -1);
    const int rowCount = std::max(in.header_row_count, 1);

    // Regions, top to bottom.
    const int left = in.client.Left + in.indicator_width;
    int y = in.client.Top;
    m_bandPanel = TRect{left, y, in.client.Right, y + (in.show_bands ? in.band_panel_height : 0)};
    y = m_bandPanel.Bottom;
    m_headerPanel = TRect{left, y, in.client.Right, y + in.header_row_height * rowCount};
    y = std::min(m_headerPanel.Bottom, in.client.Bottom);
    m_rowsArea = TRect{left, y, in.client.Right, std::max(y, in.client.Bottom)};

    // Visible bands with their header rows.
    std::vector<int> visibleIndex(in.bands.size(), -1);
    for (std::size_t b = 0; b < in.bands.size(); ++b) {
        if (!in.bands[b].visible) continue;
        visibleIndex[b] = static_cast<int>(m_bands.size());
        VisibleBand vb;
        vb.band = static_cast<int>(b);
        vb.rows.resize(static_cast<std::size_t>(rowCount));
        m_bands.push_back(std::move(vb));
    }
    for (std::size_t c = 0; c < in.columns.size(); ++c) {
        const ColumnSpec& col = in.columns[c];
        if (!col.visible || col.band < 0 || col.band >= static_cast<int>(in.bands.size())) continue;
        const int vbi = visibleIndex[static_cast<std::size_t>(col.band)];
        if (vbi < 0) continue;
        const int row = std::clamp(col.row, 0, rowCount - 1);
        m_bands[static_cast<std::size_t>(vbi)].rows[static_cast<std::size_t>(row)].push_back(static_cast<int>(c));
        m_bandOf[c] = vbi;
    }

    // Natural and minimum widths.
    bool anySizable = false;
    int sumN = 0, sumM = 0;
    for (VisibleBand& vb : m_bands) {
        const BandSpec& band = in.bands[static_cast<std::size_t>(vb.band)];
        int widest = 0, minimum = band.sizing ? band.min_width : band.width;
        for (const auto& row : vb.rows) {
            int w = 0, m = 0;
            for (int c : row) {
                w += in.columns[static_cast<std::size_t>(c)].width;
                m += column_minimum(in.columns[static_cast<std::size_t>(c)]);
            }
            widest = std::max(widest, w);
            minimum = std::max(minimum, m);
        }
        vb.minimum = minimum;
        vb.natural = std::max(in.band_header_width && widest > 0 ? widest : band.width, minimum);
        sumN += vb.natural;
        sumM += vb.minimum;
        anySizable = anySizable || band.sizing;
    }

    // Total width and band display widths.
    if (m_bands.empty()) {
        m_total = 0;
    } else if (!in.auto_width) {
        m_total = in.group_indent + sumN;
    } else {
        const int clientWidth = in.client.Width() - in.indicator_width;
        const int m = in.group_indent + sumM;
        m_total = (clientWidth < m || !anySizable) ? m : clientWidth;
    }
    if (!in.auto_width) {
        for (VisibleBand& vb : m_bands) vb.display_width = vb.natural;
    } else if (!m_bands.empty()) {
        const int A = m_total - in.group_indent;
        int D2 = 0;
        for (const VisibleBand& vb : m_bands)
            if (in.bands[static_cast<std::size_t>(vb.band)].sizing && vb.minimum < mul_div(A, vb.natural, sumN))
                D2 += vb.natural;
        int before = 0;
        for (std::size_t i = 0; i < m_bands.size(); ++i) {
            VisibleBand& vb = m_bands[i];
            if (i + 1 == m_bands.size()) {
                vb.display_width = A - before;
                break;
            }
            const int r = mul_div(A, vb.natural, sumN);
            if (!in.bands[static_cast<std::size_t>(vb.band)].sizing)
                vb.display_width = vb.natural;
            else if (D2 == sumN)
                vb.display_width = r;
            else if (vb.minimum < r)
                vb.display_width = vb.minimum + mul_div(A - sumM, vb.natural, D2);
            else
                vb.display_width = vb.minimum;
            before += vb.display_width;
        }
    }
    for (std::size_t i = 0; i < m_bands.size(); ++i) column_widths(m_bands[i], i == 0);

    place_bands();
    header_cells();

    // Rows.
    m_visibleRows = std::min(std::max(in.row_count, 0), all_rows());
    if (m_rowsArea.Height() <= 0) m_visibleRows = 0;
}

void GridLayout::column_widths(VisibleBand& vb, bool first) {
    const LayoutInput& in = m_input;
    const int gi = first ? in.group_indent : 0;
    for (const auto& row : vb.rows) {
        if (row.empty()) continue;
        const int B = vb.display_width - gi;
        int W = 0, M = 0;
        for (int c : row) {
            W += in.columns[static_cast<std::size_t>(c)].width;
            M += column_minimum(in.columns[static_cast<std::size_t>(c)]);
        }
        bool clamped = false;
        int U = 0;
        for (int c : row) {
            const ColumnSpec& col = in.columns[static_cast<std::size_t>(c)];
            if (!col.sizing) continue;
            if (mul_div(B, col.width, W) < col.min_width)
                clamped = true;
            else
                U += col.width;
        }
        int b = B, w = W, m = M, acc = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const ColumnSpec& col = in.columns[static_cast<std::size_t>(row[i])];
            int width;
            if (i + 1 == row.size()) {
                width = B - acc;
            } else if (!col.sizing) {
                width = col.width;
                b -= col.width;
                w -= col.width;
                m -= col.width;
            } else {
                const int p = mul_div(b, col.width, w);
                if (U == w)
                    width = p;
                else if (col.min_width >= p)
                    width = col.min_width;
                else if (clamped)
                    width = col.min_width + mul_div(b - m, col.width, U);
                else
                    width = p;
            }
            m_widths[static_cast<std::size_t>(row[i])] = width;
            acc += width;
        }
        // Rounding (and the proportional share of a row with a fixed column)
        // can leave a column under its minimum; when the band has room for
        // every minimum, the columns with width to spare give it back, the
        // rightmost first.
        if (B >= M) {
            int deficit = 0;
            for (int c : row) {
                const ColumnSpec& col = in.columns[static_cast<std::size_t>(c)];
                int& w = m_widths[static_cast<std::size_t>(c)];
                if (col.sizing && w < col.min_width) {
                    deficit += col.min_width - w;
                    w = col.min_width;
                }
            }
            for (std::size_t i = row.size(); i-- > 0 && deficit > 0;) {
                const ColumnSpec& col = in.columns[static_cast<std::size_t>(row[i])];
                if (!col.sizing) continue;
                int& w = m_widths[static_cast<std::size_t>(row[i])];
                const int give = std::min(deficit, w - col.min_width);
                if (give <= 0) continue;
                w -= give;
                deficit -= give;
            }
        }
        // The first column also covers the group indent, so the row still fills its band.
        if (gi) m_widths[static_cast<std::size_t>(row[0])] += gi;
    }
}

void GridLayout::place_bands() {
    const LayoutInput& in = m_input;
    const int left = m_headerPanel.Left;
    const int right = in.client.Right;
    int leftFixed = -1, rightFixed = -1;
    if (!m_bands.empty() && in.bands[static_cast<std::size_t>(m_bands.front().band)].fixed == bfLeft) leftFixed = 0;
    if (m_bands.size() > 1 && in.bands[static_cast<std::size_t>(m_bands.back().band)].fixed == bfRight)
        rightFixed = static_cast<int>(m_bands.size()) - 1;
    int x = left;
    for (std::size_t i = 0; i < m_bands.size(); ++i) {
        VisibleBand& vb = m_bands[i];
        const int extent = vb.display_width;
        if (static_cast<int>(i) == leftFixed) {
            vb.left = left;
            x = left + extent + in.fixed_band_line_width;
            continue;
        }
        if (static_cast<int>(i) == rightFixed) {
            vb.left = right - vb.display_width;
            continue;
        }
        vb.left = x - in.left_coord;
        x += extent;
    }
    m_cellsRight = left + m_total - in.left_coord;
    if (leftFixed >= 0) m_cellsRight += in.left_coord;  // fixed bands never scroll
    if (rightFixed >= 0) m_cellsRight = std::min(m_cellsRight, m_bands.back().left + m_bands.back().display_width);
    m_cellsRight = std::min(m_cellsRight, m_rowsArea.Right);
}

void GridLayout::header_cells() {
    const LayoutInput& in = m_input;
    const int rowCount = std::max(in.header_row_count, 1);
    const int rh = in.header_row_height;
    for (std::size_t bi = 0; bi < m_bands.size(); ++bi) {
        const VisibleBand& vb = m_bands[bi];
        int lastNonEmpty = -1;
        for (int r = 0; r < rowCount; ++r)
            if (!vb.rows[static_cast<std::size_t>(r)].empty()) lastNonEmpty = r;
        // Scrolled bands are clipped to the part between the fixed bands.
        TRect span = m_headerPanel;
        for (std::size_t o = 0; o < m_bands.size(); ++o) {
            if (o == bi) continue;
            const BandSpec& other = in.bands[static_cast<std::size_t>(m_bands[o].band)];
            if (other.fixed == bfLeft && o == 0) span.Left = std::max(span.Left, m_bands[o].left + m_bands[o].display_width);
            if (other.fixed == bfRight && o + 1 == m_bands.size() && o != 0) span.Right = std::min(span.Right, m_bands[o].left);
        }
        for (int r = 0; r < rowCount; ++r) {
            const auto& row = vb.rows[static_cast<std::size_t>(r)];
            int x = vb.left;
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int c = row[i];
                const int w = m_widths[static_cast<std::size_t>(c)];
                int spanRows = 1;
                if (r == lastNonEmpty) {
                    const int lines = in.columns[static_cast<std::size_t>(c)].header_max_line_count;
                    spanRows = lines == 0 ? rowCount - r : std::clamp(lines, 1, rowCount - r);
                }
                HeaderCell cell;
                cell.column = c;
                cell.band = static_cast<int>(bi);
                cell.row = r;
                cell.pos = static_cast<int>(i);
                cell.first = i == 0;
                cell.last = i + 1 == row.size();
                cell.row_span = spanRows;
                cell.rect = TRect{x, m_headerPanel.Top + rh * r, x + w, m_headerPanel.Top + rh * (r + spanRows)};
                cell.clip = gfx::intersect(cell.rect, span);
                m_cells.push_back(cell);
                x += w;
            }
        }
    }
}

int GridLayout::column_width(int column) const {
    if (column < 0 || column >= static_cast<int>(m_widths.size())) return 0;
    return m_widths[static_cast<std::size_t>(column)];
}

int GridLayout::band_of(int column) const {
    if (column < 0 || column >= static_cast<int>(m_bandOf.size())) return -1;
    return m_bandOf[static_cast<std::size_t>(column)];
}

const HeaderCell* GridLayout::header_cell(int column) const {
    for (const HeaderCell& c : m_cells)
        if (c.column == column) return &c;
    return nullptr;
}

int GridLayout::full_rows() const {
    const int h = std::max(m_input.row_height, 1);
    return std::max(m_rowsArea.Height() / h, 1);
}

int GridLayout::all_rows() const {
    const int h = std::max(m_input.row_height, 1);
    const int H = std::max(m_rowsArea.Height(), 0);
    return std::max(H / h + (H % h ? 1 : 0), 1);
}

TRect GridLayout::row_rect(int row) const {
    const int top = m_rowsArea.Top + row * m_input.row_height;
    return TRect{m_rowsArea.Left, top, m_rowsArea.Right, top + m_input.row_height};
}

TRect GridLayout::cell_rect(int row, int column) const {
    const HeaderCell* cell = header_cell(column);
    if (!cell) return {};
    const TRect r = row_rect(row);
    const int rowCount = std::max(m_input.header_row_count, 1);
    const int line = r.Height() / rowCount;
    const int top = r.Top + line * cell->row;
    const int bottom = cell->row + cell->row_span >= rowCount ? r.Bottom : top + line * cell->row_span;
    return TRect{cell->rect.Left, top, cell->rect.Right, bottom};
}

bool GridLayout::band_edge_allowed(int visible_band) const {
    if (visible_band < 0 || visible_band >= static_cast<int>(m_bands.size())) return false;
    return m_input.bands[static_cast<std::size_t>(m_bands[static_cast<std::size_t>(visible_band)].band)].can_size;
}

TdxTreeListHitInfo GridLayout::hit_test(TPoint p) const {
    const LayoutInput& in = m_input;
    TdxTreeListHitInfo hit;
    hit.pt = p;
    if (!in.client.Contains(p)) {
        hit.kind = htOutside;
        return hit;
    }
    if (m_bandPanel.Contains(p)) {
        hit.kind = htBandHeader;
        return hit;
    }
    const bool bandHeaderColumnEdge = in.band_header_width && !in.show_bands;
    const auto can_size = [&](int c) { return in.columns[static_cast<std::size_t>(c)].can_size; };
    if (p.Y >= m_headerPanel.Top && p.Y < m_headerPanel.Bottom && p.X < m_headerPanel.Left) {
        hit.kind = htButton;
        return hit;
    }
    if (m_headerPanel.Contains(p)) {
        const HeaderCell* prev = nullptr;
        for (std::size_t i = 0; i < m_cells.size(); ++i) {
            const HeaderCell& c = m_cells[i];
            if (!(c.rect.Contains(p) && c.clip.Contains(p))) continue;
            hit.kind = htColumn;
            hit.band = c.band;
            hit.column = c.column;
            if (c.pos > 0) prev = &m_cells[i - 1];
            const int right = c.rect.Right > m_headerPanel.Right ? m_headerPanel.Right : c.rect.Right;
            if (p.X >= right - in.edge_zone) {
                if (!c.last) {
                    if (can_size(c.column)) hit.kind = htColumnEdge;
                } else if (bandHeaderColumnEdge) {
                    if (can_size(c.column)) hit.kind = htColumnEdge;
                } else if (band_edge_allowed(c.band)) {
                    hit.kind = htBandEdge;
                }
            } else if (prev && p.X < prev->rect.Right + in.edge_zone) {
                if (can_size(prev->column)) {
                    hit.kind = htColumnEdge;
                    hit.column = prev->column;
                }
            } else if (c.pos == 0 && c.band > 0 && p.X < c.rect.Left + in.edge_zone) {
                if (band_edge_allowed(c.band - 1) && !bandHeaderColumnEdge) {
                    hit.kind = htBandEdge;
                    hit.band = c.band - 1;
                    hit.column = -1;
                } else {
                    const auto& prevRow = m_bands[static_cast<std::size_t>(c.band - 1)].rows[static_cast<std::size_t>(c.row)];
                    if (!prevRow.empty() && can_size(prevRow.back())) {
                        hit.kind = htColumnEdge;
                        hit.band = c.band - 1;
                        hit.column = prevRow.back();
                    }
                }
            }
            return hit;
        }
        // Just right of the last band: its edge.
        const int end = m_headerPanel.Left + m_total - in.left_coord;
        if (!m_bands.empty() && p.X >= end && p.X < end + in.edge_zone) {
            const HeaderCell* last = nullptr;
            for (const HeaderCell& c : m_cells)
                if (c.band + 1 == static_cast<int>(m_bands.size()) && c.last && p.Y >= c.rect.Top && p.Y < c.rect.Bottom) last = &c;
            if (last && bandHeaderColumnEdge && can_size(last->column)) {
                hit.kind = htColumnEdge;
                hit.band = last->band;
                hit.column = last->column;
                return hit;
            }
            if (!bandHeaderColumnEdge && band_edge_allowed(static_cast<int>(m_bands.size()) - 1)) {
                hit.kind = htBandEdge;
                hit.band = static_cast<int>(m_bands.size()) - 1;
                return hit;
            }
        }
        hit.kind = htEmpty;
        return hit;
    }
    if (m_rowsArea.Contains(p) || (p.X < m_rowsArea.Left && p.Y >= m_rowsArea.Top && p.Y < m_rowsArea.Bottom)) {
        const int h = std::max(in.row_height, 1);
        const int row = (p.Y - m_rowsArea.Top) / h;
        if (row >= m_visibleRows) {
            hit.kind = htEmpty;
            return hit;
        }
        hit.row = row;
        if (p.X < m_rowsArea.Left) {
            hit.kind = htIndicator;
            return hit;
        }
        if (p.X >= m_cellsRight) {
            hit.kind = htRight;
            return hit;
        }
        hit.kind = htLabel;
        const int rowCount = std::max(in.header_row_count, 1);
        const int line = std::min((p.Y - row_rect(row).Top) * rowCount / h, rowCount - 1);
        for (const HeaderCell& c : m_cells) {
            if (line < c.row || line >= c.row + c.row_span) continue;
            if (p.X >= c.rect.Left && p.X < c.rect.Right && p.X >= c.clip.Left && p.X < c.clip.Right) {
                hit.column = c.column;
                hit.band = c.band;
                break;
            }
        }
        return hit;
    }
    hit.kind = htNowhere;
    return hit;
}

void GridLayout::check_invariants() const {
#ifndef NDEBUG
    const LayoutInput& in = m_input;
    if (in.auto_width && !m_bands.empty()) {
        int sum = 0;
        for (const VisibleBand& vb : m_bands) sum += vb.display_width;
        INVARIANT(!(sum != m_total - in.group_indent), "GridLayout: band widths do not fill the total width");
    }
    for (std::size_t bi = 0; bi < m_bands.size(); ++bi) {
        const VisibleBand& vb = m_bands[bi];
        for (const auto& row : vb.rows) {
            if (row.empty()) continue;
            int sum = 0, minimums = 0;
            for (int c : row) {
                sum += m_widths[static_cast<std::size_t>(c)];
                minimums += column_minimum(in.columns[static_cast<std::size_t>(c)]);
            }
            INVARIANT(sum == vb.display_width, "GridLayout: a header row does not fill its band");
            if (in.auto_width && vb.display_width >= minimums)
                for (int c : row) {
                    const ColumnSpec& col = in.columns[static_cast<std::size_t>(c)];
                    INVARIANT(!(col.sizing && m_widths[static_cast<std::size_t>(c)] < col.min_width), "GridLayout: a column under its minimum");
                }
        }
    }
#endif
}

SizingResult size_column(const GridLayout& layout, int column, int requested) {
    const LayoutInput& in = layout.input();
    SizingResult result;
    result.widths.reserve(in.columns.size());
    for (const ColumnSpec& c : in.columns) result.widths.push_back(c.width);
    const HeaderCell* cell = layout.header_cell(column);
    if (!cell) return result;
    const VisibleBand& vb = layout.bands()[static_cast<std::size_t>(cell->band)];
    const auto& row = vb.rows[static_cast<std::size_t>(cell->row)];
    const auto disp = [&](int c) { return layout.column_width(c); };
    const auto sizable = [&](int c) { return in.columns[static_cast<std::size_t>(c)].sizing; };
    std::vector<int> fresh(in.columns.size(), -1);  // new display widths of the band's columns

    const auto scale_row = [&](const std::vector<int>& r, int to, int from) {
        int acc = 0;
        for (std::size_t i = 0; i < r.size(); ++i) {
            const int w = i + 1 == r.size() ? to - acc : mul_div(disp(r[i]), to, from);
            fresh[static_cast<std::size_t>(r[i])] = w;
            acc += w;
        }
    };

    int numerator = 1, denominator = 1;  // the proportion hidden columns follow
    if (in.band_header_width && !in.auto_width && vb.non_empty_rows() <= 1) {
        const int oldBand = vb.display_width;
        const int newBand = oldBand + requested - disp(column);
        int acc = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            int w = row[i] == column ? requested : disp(row[i]);
            if (i + 1 == row.size()) w = newBand - acc;
            fresh[static_cast<std::size_t>(row[i])] = w;
            acc += w;
        }
        for (std::size_t r = 0; r < vb.rows.size(); ++r)
            if (static_cast<int>(r) != cell->row && !vb.rows[r].empty()) scale_row(vb.rows[r], newBand, oldBand);
        result.band = vb.band;
        result.band_width = newBand;
        numerator = newBand;
        denominator = oldBand;
    } else {
        const auto pos = static_cast<std::size_t>(cell->pos);
        std::vector<int> comp;
        if (pos + 1 < row.size()) {
            for (std::size_t i = pos + 1; i < row.size(); ++i)
                if (sizable(row[i])) comp.push_back(row[i]);
        } else {
            for (std::size_t i = 0; i < pos; ++i)
                if (sizable(row[i])) comp.push_back(row[i]);
        }
        int shared = 0;
        for (int c : comp) shared += disp(c);
        const int total = shared + disp(column) - requested;
        int acc = 0;
        for (std::size_t i = 0; i < comp.size(); ++i) {
            const int w = i + 1 == comp.size() ? total - acc : mul_div(total, disp(comp[i]), shared);
            fresh[static_cast<std::size_t>(comp[i])] = w;
            acc += w;
        }
        int rowTotal = 0;
        for (int c : row) {
            if (c == column) fresh[static_cast<std::size_t>(c)] = requested;
            else if (fresh[static_cast<std::size_t>(c)] < 0) fresh[static_cast<std::size_t>(c)] = disp(c);
            rowTotal += fresh[static_cast<std::size_t>(c)];
        }
        if (in.band_header_width)
            for (std::size_t r = 0; r < vb.rows.size(); ++r)
                if (static_cast<int>(r) != cell->row && !vb.rows[r].empty())
                    scale_row(vb.rows[r], mul_div(vb.display_width, rowTotal, vb.display_width), vb.display_width);
        if (shared > 0) {
            numerator = total;
            denominator = shared;
        }
    }
    for (std::size_t c = 0; c < in.columns.size(); ++c) {
        const ColumnSpec& col = in.columns[c];
        if (!col.sizing) continue;
        if (fresh[c] >= 0) {
            result.widths[c] = std::max(fresh[c], col.min_width);
        } else if (!col.visible && col.band == vb.band) {
            result.widths[c] = std::max(mul_div(col.width, numerator, denominator), col.min_width);
        }
    }
    return result;
}

void sizing_bounds(const GridLayout& layout, int column, bool full_sizing, int& lower, int& upper) {
    const LayoutInput& in = layout.input();
    const HeaderCell* cell = layout.header_cell(column);
    lower = upper = 0;
    if (!cell) return;
    lower = cell->rect.Left + in.columns[static_cast<std::size_t>(column)].min_width;
    if (cell->band == 0 && cell->pos == 0) lower += in.group_indent;
    if (!in.auto_width && full_sizing)
        upper = 100000;
    else if (in.band_header_width && !in.show_bands)
        upper = in.client.Width() - 1;
    else {
        const VisibleBand& vb = layout.bands()[static_cast<std::size_t>(cell->band)];
        upper = vb.left + vb.display_width;
    }
    upper = std::max(upper, lower);
}

}  // namespace dxgrid
