// The text and selection of a one-line edit window, apart from its window:
// every editing rule of the standard edit control lives here so that it can be
// tested without a display.
//
// The selection is an anchor and a caret (byte offsets into the CP1251 text);
// Shift+movement moves the caret and keeps the anchor. The text limit counts
// bytes; typing that would pass it is refused whole, pasting inserts as much
// as fits. A read-only buffer still moves its caret and copies.
#pragma once

#include "text/AnsiString.h"

#include <string_view>

namespace forms {

class EditBuffer {
public:
    // The limit of a new edit window (and of a limit of 0).
    static constexpr int kMaxLimit = 0x7FFFFFFE;

    enum class Move { CharLeft, CharRight, WordLeft, WordRight, Home, End };

    const AnsiString& text() const { return m_text; }
    // Replaces the whole text, whatever the limit or read-only state; the caret
    // goes to the start. Returns whether the text changed.
    bool set_text(std::string_view value);

    int limit() const { return m_limit; }
    // A limit of 0 or less means the largest; existing text is not cut.
    void set_limit(int value) { m_limit = value <= 0 ? kMaxLimit : value; }
    bool read_only() const { return m_readOnly; }
    void set_read_only(bool value) { m_readOnly = value; }

    int anchor() const { return m_anchor; }
    int caret() const { return m_caret; }
    int sel_start() const { return m_anchor < m_caret ? m_anchor : m_caret; }
    int sel_end() const { return m_anchor < m_caret ? m_caret : m_anchor; }
    bool has_selection() const { return m_anchor != m_caret; }
    AnsiString selected_text() const;

    // Selects [start, end); end < 0 means the end of the text, start < 0 removes
    // the selection and leaves the caret where it is. The caret ends at `end`.
    void select(int start, int end);
    void select_all() { select(0, -1); }
    // Puts the caret at `pos`, keeping the anchor when extending.
    void set_caret(int pos, bool extend);
    void move(Move how, bool extend);
    // Selects the word (or the run of blanks) around `pos`.
    void select_word_at(int pos);

    // Each of these returns whether the text changed.
    bool type_char(char c);
    bool backspace();
    bool delete_forward();
    // Inserts the first line of `value` over the selection, cut to what the limit leaves room for.
    bool paste(std::string_view value);
    // The selection removed; returns whether anything was removed.
    bool delete_selection();

    // Start of the word before / after `pos`: words are runs of non-blank bytes.
    int word_left(int pos) const;
    int word_right(int pos) const;

private:
    bool replace_selection(std::string_view value);
    int clamp(int pos) const;

    AnsiString m_text;
    int m_anchor = 0;
    int m_caret = 0;
    int m_limit = kMaxLimit;
    bool m_readOnly = false;
};

}  // namespace forms
