#include "bars/DockLayout.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace bars {

namespace {

int thickness_of(const RowBar& bar, int length) { return bar.thickness_at ? bar.thickness_at(length) : 0; }

}  // namespace

RowLayout layout_row(const std::vector<RowBar>& input, int site_length) {
    const int n = static_cast<int>(input.size());
    RowLayout out;
    out.bars.resize(input.size());
    if (n == 0) return out;

    std::vector<int> min(input.size());
    for (int i = 0; i < n; ++i) {
        const RowBar& b = input[i];
        min[i] = b.min_length;
        // A bar that can be shortened needs room for the mark button that shows the rest.
        if (b.min_length != b.natural_length && !b.mark_counted) min[i] += kMarkButtonLength;
        min[i] = std::min(min[i], std::max(b.natural_length, b.min_length));
    }

    if (input[0].whole_row) {
        const RowBar& b = input[0];
        RowPlace& p = out.bars[0];
        p.position = 0;
        p.length = std::max(site_length, min[0]);
        p.truncated = !b.multi_line && p.length < b.natural_length;
        p.thickness = thickness_of(b, p.length);
    } else {
        int natural_sum = 0;
        for (const RowBar& b : input) natural_sum += b.natural_length;
        if (natural_sum > site_length) {
            int right = site_length;
            for (int i = n - 1; i >= 0; --i) {
                const int before = std::accumulate(min.begin(), min.begin() + i, 0);
                const int length = std::max(min[i], std::min(input[i].natural_length, right - before));
                // The first bar moves back to the row's beginning when room is left.
                const int start = i == 0 ? 0 : right - length;
                RowPlace& p = out.bars[i];
                p.position = start;
                p.length = length;
                p.truncated = length < input[i].natural_length && !input[i].multi_line;
                p.thickness = thickness_of(input[i], length);
                right = start;
            }
        } else {
            int right = site_length;
            for (int i = n - 1; i >= 0; --i) {
                int natural_before = 0;
                for (int k = 0; k < i; ++k) natural_before += input[k].natural_length;
                int start = std::min(std::max(input[i].position, 0), right - input[i].natural_length);
                start = std::max(start, natural_before);
                RowPlace& p = out.bars[i];
                p.position = start;
                p.length = input[i].natural_length;
                p.thickness = thickness_of(input[i], p.length);
                right = start;
            }
        }
        // Bars that use the rest of the row stretch into the gaps beside them;
        // a shortened last bar reaches the row's end.
        for (int i = 0; i < n; ++i) {
            RowPlace& p = out.bars[i];
            const int prev_end = i > 0 ? out.bars[i - 1].position + out.bars[i - 1].length : 0;
            const int next_start = i + 1 < n ? out.bars[i + 1].position : site_length;
            if (input[i].use_rest_space) {
                p.position = prev_end;
                p.length = std::max(min[i], next_start - prev_end);
                p.thickness = thickness_of(input[i], p.length);
            } else if (i == n - 1 && p.truncated && next_start > p.position + p.length) {
                p.length = next_start - p.position;
                p.thickness = thickness_of(input[i], p.length);
            }
        }
    }

    for (const RowPlace& p : out.bars) out.thickness = std::max(out.thickness, p.thickness);
    for (RowPlace& p : out.bars) p.thickness = out.thickness;
    return out;
}

void check_row_layout(const std::vector<RowBar>& bars, const RowLayout& layout) {
#ifndef NDEBUG
    if (bars.size() != layout.bars.size()) throw std::logic_error("row layout: one place per bar");
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const RowPlace& p = layout.bars[i];
        if (p.length < bars[i].min_length) throw std::logic_error("row layout: bar shorter than its minimum");
        if (p.thickness != layout.thickness) throw std::logic_error("row layout: bar thinner than its row");
        if (i > 0 && p.position < layout.bars[i - 1].position + layout.bars[i - 1].length)
            throw std::logic_error("row layout: bars overlap");
    }
#else
    (void)bars;
    (void)layout;
#endif
}

int site_thickness(const std::vector<int>& row_thicknesses, bool sunken_border) {
    const int sum = std::accumulate(row_thicknesses.begin(), row_thicknesses.end(), 0);
    return sum + (sunken_border && !row_thicknesses.empty() ? 2 : 0);
}

RowTarget place_stored_bar(const std::vector<RowInfo>& rows, int stored_row, bool one_on_row, bool whole_row,
                           bool loading) {
    RowTarget t;
    const bool want_new = one_on_row || whole_row;
    const int count = static_cast<int>(rows.size());
    stored_row = std::max(stored_row, 0);
    if (loading) {
        // Stored row numbers keep their meaning: the rows in front are made, empty.
        t.rows_to_create = std::max(0, stored_row + 1 - count);
        t.row = stored_row;
        const bool empty = t.rows_to_create > 0 || rows[static_cast<std::size_t>(stored_row)].empty;
        if (empty) return t;
        const RowInfo& r = rows[static_cast<std::size_t>(stored_row)];
        t.new_row = want_new || r.holds_whole_row_bar;
        return t;
    }
    if (count == 0) {
        t.row = 0;
        t.new_row = true;
        return t;
    }
    t.row = std::min(stored_row, want_new ? count : count - 1);
    if (want_new || t.row == count) {
        t.new_row = true;
        return t;
    }
    const RowInfo& r = rows[static_cast<std::size_t>(t.row)];
    if (r.empty) return t;
    t.new_row = r.holds_whole_row_bar;
    return t;
}

int insert_index(const std::vector<int>& positions, int position) {
    for (std::size_t i = 0; i < positions.size(); ++i)
        if (positions[i] >= position) return static_cast<int>(i);
    return static_cast<int>(positions.size());
}

DragRow drag_row(const std::vector<int>& row_thicknesses, int across, bool trailing) {
    const int total = std::accumulate(row_thicknesses.begin(), row_thicknesses.end(), 0);
    const int count = static_cast<int>(row_thicknesses.size());
    // Right and bottom sites stack their rows from their outer edge inwards:
    // measure from the other side so the same rules apply.
    if (trailing) across = total - across;
    if (across < 0) return DragRow{0, true};
    int start = 0;
    for (int r = 0; r < count; ++r) {
        const int end = start + row_thicknesses[static_cast<std::size_t>(r)];
        if (across < end) {
            const int offset = across - start;
            if (offset < kNewRowBandStart) return DragRow{r, false};
            if (offset < kNewRowBandEnd) return DragRow{r + 1, true};
            if (r + 1 < count) return DragRow{r + 1, false};
            return DragRow{count, true};
        }
        start = end;
    }
    return DragRow{count, true};
}

}  // namespace bars
