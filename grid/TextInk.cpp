#include "grid/TextInk.h"

#include "platform/classes/Invariant.h"

#include <algorithm>
#include <stdexcept>

namespace dxgrid {

void TextInk::add(int left, int right) {
    if (left >= right) return;
    // Spans that overlap or touch the new one are swallowed by it.
    auto first = std::lower_bound(m_spans.begin(), m_spans.end(), left, [](const Span& s, int x) { return s.right < x; });
    auto last = first;
    while (last != m_spans.end() && last->left <= right) {
        left = std::min(left, last->left);
        right = std::max(right, last->right);
        ++last;
    }
    first = m_spans.erase(first, last);
    m_spans.insert(first, Span{left, right});
}

std::vector<TextInk::Span> TextInk::strips(int gap) const {
    std::vector<Span> out;
    for (const Span& s : m_spans) {
        if (!out.empty() && s.left - out.back().right < gap)
            out.back().right = s.right;
        else
            out.push_back(s);
    }
    return out;
}

void TextInk::check_invariants() const {
#ifndef NDEBUG
    for (std::size_t i = 0; i < m_spans.size(); ++i) {
        INVARIANT(!(m_spans[i].left >= m_spans[i].right), "TextInk: an empty span");
        INVARIANT(!(i > 0 && m_spans[i - 1].right >= m_spans[i].left), "TextInk: spans out of order or touching");
    }
#endif
}

}  // namespace dxgrid
