#include "bars/BarLineLayout.h"

#include <algorithm>

namespace bars {

LineLayout layout_lines(const std::vector<LineItem>& items, int available, bool wrap) {
    LineLayout out;
    out.items.resize(items.size());
    int x = 0;
    int line = 0;
    int line_top = 0;
    int line_thickness = 0;
    std::size_t line_first = 0;
    bool any_in_line = false;

    auto close_line = [&](std::size_t end) {
        for (std::size_t k = line_first; k < end; ++k) {
            if (out.items[k].hidden) continue;
            out.items[k].line_thickness = line_thickness;
        }
        out.length = std::max(out.length, x);
    };

    for (std::size_t i = 0; i < items.size(); ++i) {
        const LineItem& it = items[i];
        const int gap = any_in_line && it.begin_group ? kSeparatorLength : 0;
        if (available >= 0 && any_in_line && x + gap + it.length > available) {
            if (!wrap) {
                out.items[i].hidden = true;
                continue;
            }
            close_line(i);
            line_top += line_thickness;
            ++line;
            x = 0;
            line_thickness = 0;
            line_first = i;
            any_in_line = false;
        } else if (available >= 0 && !wrap && !any_in_line && it.length > available && i > 0) {
            out.items[i].hidden = true;
            continue;
        }
        LinePlace& p = out.items[i];
        p.separator_before = any_in_line && it.begin_group;
        x += any_in_line && it.begin_group ? kSeparatorLength : 0;
        p.position = x;
        p.line = line;
        p.line_top = line_top;
        x += it.length;
        line_thickness = std::max(line_thickness, it.thickness);
        any_in_line = true;
    }
    close_line(items.size());
    if (any_in_line || line > 0) {
        out.lines = line + 1;
        out.thickness = line_top + line_thickness;
    }
    return out;
}

int natural_line_length(const std::vector<LineItem>& items) {
    return layout_lines(items, -1, false).length;
}

int widest_item(const std::vector<LineItem>& items) {
    int w = 0;
    for (const LineItem& it : items) w = std::max(w, it.length);
    return w;
}

}  // namespace bars
