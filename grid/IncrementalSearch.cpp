#include "grid/IncrementalSearch.h"

#include "platform/classes/Invariant.h"
#include "platform/ui/Messages.h"

#include <cassert>

namespace grid {

bool IncrementalSearch::starts(char ch, bool auto_search, bool ctrl, bool mouse_idle, bool searching) {
    const auto c = static_cast<unsigned char>(ch);
    return mouse_idle && !searching && auto_search && !ctrl && c != ui::VK_BACK && c != ui::VK_TAB &&
           c != ui::VK_RETURN && c != ui::VK_ESCAPE;
}

void IncrementalSearch::start(int column) {
    m_active = true;
    m_column = column;
    m_text.clear();
}

void IncrementalSearch::end() {
    m_active = false;
    m_column = -1;
    m_text.clear();
}

void IncrementalSearch::follow_column(int focused_column) {
    if (focused_column == m_column) return;
    m_column = focused_column;
    m_text.clear();
}

bool IncrementalSearch::type(char ch, bool ctrl, int focused_column) {
    if (!m_active || static_cast<unsigned char>(ch) < 32 || ctrl) return false;
    follow_column(focused_column);
    m_text += ch;
    return true;
}

SearchKeyResult IncrementalSearch::key(int vk, bool shift, bool ctrl, int focused_column) {
    if (!m_active) return {};
    switch (vk) {
    case ui::VK_BACK:
        follow_column(focused_column);
        // The focused row matched the longer text, so it matches this one and stays.
        if (!m_text.empty()) m_text.pop_back();
        return {SearchKeyResult::Step, SearchDirection::FromFocused};
    case ui::VK_DELETE:
        follow_column(focused_column);
        m_text.clear();
        return {SearchKeyResult::Step, SearchDirection::FromFocused};
    case ui::VK_RETURN:
        if (!shift && !ctrl) return {};
        follow_column(focused_column);
        // Ctrl wins when both are held.
        return {SearchKeyResult::Step, ctrl ? SearchDirection::Next : SearchDirection::Previous};
    case ui::VK_ESCAPE:
        return {SearchKeyResult::End};
    default:
        return {};
    }
}

void IncrementalSearch::after_step(bool found, SearchDirection direction, bool clear_on_failure) {
    if (found) return;
    if (clear_on_failure)
        m_text.clear();
    else if (direction == SearchDirection::FromFocused && !m_text.empty())
        m_text.pop_back();  // the character just typed is refused, silently
}

#ifndef NDEBUG
void IncrementalSearch::check_invariants() const {
    INVARIANT(m_in_search >= 0, "IncrementalSearch: m_in_search >= 0");
    INVARIANT(m_active || (m_text.empty() && m_column == -1), "IncrementalSearch: m_active || (m_text.empty() && m_column == -1)");
    for (char c : m_text) INVARIANT(static_cast<unsigned char>(c) >= 32, "IncrementalSearch: the text holds no control characters");
}
#endif

}  // namespace grid
