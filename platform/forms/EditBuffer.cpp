#include "platform/forms/EditBuffer.h"

#include <algorithm>

namespace forms {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int EditBuffer::clamp(int pos) const { return std::clamp(pos, 0, static_cast<int>(m_text.size())); }

bool EditBuffer::set_text(std::string_view value) {
    const bool changed = value != m_text;
    m_text.assign(value);
    m_anchor = m_caret = 0;
    return changed;
}

AnsiString EditBuffer::selected_text() const {
    return m_text.substr(static_cast<std::size_t>(sel_start()), static_cast<std::size_t>(sel_end() - sel_start()));
}

void EditBuffer::select(int start, int end) {
    if (start < 0) {
        m_anchor = m_caret;
        return;
    }
    m_anchor = clamp(start);
    m_caret = end < 0 ? static_cast<int>(m_text.size()) : clamp(end);
}

void EditBuffer::set_caret(int pos, bool extend) {
    m_caret = clamp(pos);
    if (!extend) m_anchor = m_caret;
}

int EditBuffer::word_left(int pos) const {
    pos = clamp(pos);
    while (pos > 0 && is_blank(m_text[pos - 1])) --pos;
    while (pos > 0 && !is_blank(m_text[pos - 1])) --pos;
    return pos;
}

int EditBuffer::word_right(int pos) const {
    const int n = static_cast<int>(m_text.size());
    pos = clamp(pos);
    while (pos < n && !is_blank(m_text[pos])) ++pos;
    while (pos < n && is_blank(m_text[pos])) ++pos;
    return pos;
}

void EditBuffer::move(Move how, bool extend) {
    int pos = m_caret;
    switch (how) {
    case Move::CharLeft:
        // Without Shift, a selection collapses to its edge instead of moving past it.
        pos = (!extend && has_selection()) ? sel_start() : m_caret - 1;
        break;
    case Move::CharRight:
        pos = (!extend && has_selection()) ? sel_end() : m_caret + 1;
        break;
    case Move::WordLeft: pos = word_left(m_caret); break;
    case Move::WordRight: pos = word_right(m_caret); break;
    case Move::Home: pos = 0; break;
    case Move::End: pos = static_cast<int>(m_text.size()); break;
    }
    set_caret(pos, extend);
}

void EditBuffer::select_word_at(int pos) {
    pos = clamp(pos);
    const int n = static_cast<int>(m_text.size());
    if (n == 0) return;
    if (pos == n) --pos;
    const bool blank = is_blank(m_text[pos]);
    int start = pos, end = pos;
    while (start > 0 && is_blank(m_text[start - 1]) == blank) --start;
    while (end < n && is_blank(m_text[end]) == blank) ++end;
    // A word is selected with the blanks after it, the way a double click does.
    if (!blank)
        while (end < n && is_blank(m_text[end])) ++end;
    select(start, end);
}

bool EditBuffer::replace_selection(std::string_view value) {
    const auto start = static_cast<std::size_t>(sel_start());
    const auto count = static_cast<std::size_t>(sel_end() - sel_start());
    if (count == 0 && value.empty()) return false;
    // Built afresh rather than replaced in place: the new text may come from this buffer.
    AnsiString result;
    result.reserve(m_text.size() - count + value.size());
    result.append(m_text, 0, start);
    result.append(value);
    result.append(m_text, start + count, AnsiString::npos);
    m_text = std::move(result);
    m_anchor = m_caret = static_cast<int>(start + value.size());
    return true;
}

bool EditBuffer::type_char(char c) {
    if (m_readOnly || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    const long after = static_cast<long>(m_text.size()) - (sel_end() - sel_start()) + 1;
    if (after > m_limit) return false;
    return replace_selection(std::string_view(&c, 1));
}

bool EditBuffer::delete_selection() {
    if (m_readOnly || !has_selection()) return false;
    return replace_selection({});
}

bool EditBuffer::backspace() {
    if (m_readOnly) return false;
    if (has_selection()) return replace_selection({});
    if (m_caret == 0) return false;
    m_anchor = m_caret - 1;
    return replace_selection({});
}

bool EditBuffer::delete_forward() {
    if (m_readOnly) return false;
    if (has_selection()) return replace_selection({});
    if (m_caret >= static_cast<int>(m_text.size())) return false;
    m_anchor = m_caret + 1;
    return replace_selection({});
}

bool EditBuffer::paste(std::string_view value) {
    if (m_readOnly) return false;
    // One line only: the text up to the first line break.
    value = value.substr(0, value.find_first_of("\r\n"));
    const long room = static_cast<long>(m_limit) - (static_cast<long>(m_text.size()) - (sel_end() - sel_start()));
    if (room <= 0) return false;
    if (static_cast<long>(value.size()) > room) value = value.substr(0, static_cast<std::size_t>(room));
    if (value.empty()) return false;
    return replace_selection(value);
}

}  // namespace forms
