// The columns of pixels of the grid's rows where cell text has been drawn.
//
// Rows repeat each other everywhere else: cell backgrounds are per column,
// grid lines fall at the same place in every row, the empty areas are one
// colour. Only the focused row is drawn differently, and it is repainted
// wherever it goes. So a vertical scroll of whole rows needs to move only
// the pixels in these columns; the rest is already what the moved rows show.
//
// The set may be wider than needed (a union over every row painted since the
// rows were last painted all at once) but never narrower.
//
// Invariants (check_invariants):
//  - spans are non-empty, sorted, and neither overlap nor touch.
#pragma once

#include <vector>

namespace dxgrid {

class TextInk {
public:
    struct Span {
        int left = 0;   // first column of pixels
        int right = 0;  // one past the last
        bool operator==(const Span&) const = default;
    };

    // Every row is about to be painted: what they showed before no longer counts.
    void reset() { m_spans.clear(); }
    // Text was drawn in columns [left, right).
    void add(int left, int right);
    const std::vector<Span>& spans() const { return m_spans; }
    // The spans with gaps narrower than `gap` filled in: moving a few more
    // pixels is cheaper than moving a strip apart.
    std::vector<Span> strips(int gap) const;

    void check_invariants() const;

private:
    std::vector<Span> m_spans;
};

}  // namespace dxgrid
